#include "resources/texture_package.h"

// Stand-in until the image readers are written.
std::unique_ptr<StoredObject> TexturePackage::loadObject(std::istream&, const std::string&,
                                                         std::uint32_t) {
    return nullptr;
}
