// A textured triangle mesh read from an ".smf" file or a mesh package.
#pragma once

#include "resources/stored_object.h"

class Polyhedron : public StoredObject {
  public:
    bool load(std::istream& in, const std::string& extensionTag) override;
    bool save() override;
    std::int32_t getTypeId() const override { return 2; }
    // Compiles the mesh's display list (again, after the GL context was replaced).
    void buildLists();
};
