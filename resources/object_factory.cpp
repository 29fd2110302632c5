#include "resources/package.h"
#include "resources/texture.h"

// Type ids as stored in map packages. Classes join the table as they are written.
std::unique_ptr<StoredObject> createStoredObject(std::int32_t typeId, std::istream& in) {
    std::unique_ptr<StoredObject> object;
    switch (typeId) {
        case 1:
            object = std::make_unique<Texture>();
            break;
        default:
            return nullptr;
    }
    object->load(in, "map");
    return object;
}
