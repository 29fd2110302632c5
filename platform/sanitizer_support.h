// Helpers that keep sanitizer builds quiet about what system libraries do, not what we do.
#pragma once

namespace platform {

// In sanitizer builds, pins Mesa's DRI driver in memory: it is unloaded at exit, and the leak
// checker could then not name the frames of its few start-up allocations to suppress them.
void keepGlDriverLoaded();

}  // namespace platform
