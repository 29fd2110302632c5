#include "resources/static_mesh_package.h"

// Stand-in until meshes are written.
std::unique_ptr<StoredObject> StaticMeshPackage::loadObject(std::istream&, const std::string&,
                                                            std::uint32_t) {
    return nullptr;
}
