#include "platform/gl_lookup.h"

#include <SDL.h>

namespace platform {

void* lookupGlFunction(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

}  // namespace platform
