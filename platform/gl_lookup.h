// OpenGL entry points, the window that carries the GL context, and which context is current.
#pragma once

struct SDL_Surface;

namespace platform {

// Finds an OpenGL entry point by name in the current context's library; null when absent.
void* lookupGlFunction(const char* name);

// True while an OpenGL window is open. Resources read without one (tools, tests, fuzzing)
// keep their data and make no GL calls.
bool haveGlContext();

// Opens the OpenGL window (SDL_SetVideoMode), or null. Every window opened brings a new GL
// context, in which the texture and list names of earlier ones mean nothing.
SDL_Surface* openGlWindow(int width, int height);

// The context GL calls go to now: 0 without a window, otherwise a number that no earlier
// context had. Whoever keeps a GL name keeps this with it, and only uses or deletes the name
// while it is still current.
unsigned currentGlContext();

}  // namespace platform
