// Entry point of every test binary: each test runs in a scratch directory of its own; where the
// engine is linked, the object factory knows every class, and windows talk to the X server named
// by DISPLAY, never fall back to SDL's text-mode video, and keep quiet about the missing sound
// card.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"
#ifdef TINTFALL_TEST_ENGINE
#include "menus/object_types.h"
#endif

int main(int argc, char** argv) {
#ifdef TINTFALL_TEST_ENGINE
    setenv("SDL_VIDEODRIVER", "x11", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    installObjectTypes();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::runEachTestInAScratchDirectory();
    return RUN_ALL_TESTS();
}
