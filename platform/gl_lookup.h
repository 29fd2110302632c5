// Finds an OpenGL entry point by name in the current context's library; null when absent.
#pragma once

namespace platform {

void* lookupGlFunction(const char* name);

}  // namespace platform
