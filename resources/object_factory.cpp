#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/package.h"
#include "resources/texture.h"

// Type ids as stored in map packages. Classes join the table as they are written.
std::unique_ptr<StoredObject> createStoredObject(std::int32_t typeId, std::istream& in) {
    std::unique_ptr<StoredObject> object;
    switch (typeId) {
        case 1:
            object = std::make_unique<Texture>();
            break;
        case 2:
            object = std::make_unique<Polyhedron>();
            break;
        case 3:
            object = std::make_unique<AudioTrack>();
            break;
        default:
            return nullptr;
    }
    // The object is kept even when its own reading fails (a track never reads from a stream).
    object->load(in, "map");
    return object;
}
