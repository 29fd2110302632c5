// OpenGL entry points and whether there is a context to call them in.
#pragma once

namespace platform {

// Finds an OpenGL entry point by name in the current context's library; null when absent.
void* lookupGlFunction(const char* name);

// True while an OpenGL window is open. Resources read without one (tools, tests, fuzzing)
// keep their data and make no GL calls.
bool haveGlContext();

}  // namespace platform
