#include "resources/static_mesh_package.h"

#include <cstring>

#include "resources/object_factory.h"
#include "resources/type_ids.h"

std::unique_ptr<StoredObject> StaticMeshPackage::loadObject(std::istream& in,
                                                            const std::string& name,
                                                            std::uint32_t payloadOffset) {
    char magic[4];
    in.clear();
    in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
    in.read(magic, sizeof magic);
    if (in.gcount() != static_cast<std::streamsize>(sizeof magic) || in.fail()) {
        return nullptr;
    }
    in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
    if (in.fail() || std::memcmp(magic, "smf\0", sizeof magic) != 0) {
        return nullptr;
    }
    // The mesh is handed out even when its own reading failed: what it read is checked, and a
    // mesh without faces simply draws nothing.
    std::unique_ptr<StoredObject> mesh = constructStoredObject(TypeId::polyhedron);
    if (mesh) {
        mesh->setName(name);
        if (!mesh->load(in, "smf")) {
            logUnreadableRecord(name);
        }
    }
    return mesh;
}
