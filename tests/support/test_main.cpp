// Entry point of the tests that need the engine: the object factory knows every class, and
// windows talk to the X server named by DISPLAY, never fall back to SDL's text-mode video, and
// keep quiet about the missing sound card.
#include <gtest/gtest.h>

#include <cstdlib>

#include "menus/object_types.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "x11", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    installObjectTypes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
