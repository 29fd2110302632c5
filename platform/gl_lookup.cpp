#include "platform/gl_lookup.h"

#include <SDL.h>

namespace platform {

namespace {

// Counts the windows opened so far; the latest one's context is the current one.
unsigned contextsOpened = 0;

}  // namespace

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

SDL_Surface* openGlWindow(int width, int height) {
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, SDL_OPENGL);
    if (screen != nullptr) {
        ++contextsOpened;
    }
    return screen;
}

unsigned currentGlContext() {
    return haveGlContext() ? contextsOpened : 0;
}

}  // namespace platform
