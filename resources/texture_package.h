// A package of textures (extension "txp"): each record is a txf or BMP image.
#pragma once

#include "resources/package.h"

class TexturePackage : public Package {
  public:
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string& name,
                                             std::uint32_t payloadOffset) override;
};
