// A package of meshes (extension "smp"): each record is a complete ".smf" mesh image.
#pragma once

#include "resources/package.h"

class StaticMeshPackage : public Package {
  public:
    // A Polyhedron read from the record, or none when the payload is not a mesh image or the
    // mesh cannot be read from it.
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string& name,
                                             std::uint32_t payloadOffset) override;
};
