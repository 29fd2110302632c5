#include "platform/gl_lookup.h"

#include <SDL.h>

namespace platform {

void* lookupGlFunction(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

bool haveGlContext() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    const SDL_Surface* screen = SDL_GetVideoSurface();
    return screen != nullptr && (screen->flags & SDL_OPENGL) != 0;
}

}  // namespace platform
