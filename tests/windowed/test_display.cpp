// The window, its size from "settings.ini" and the projection, on a real X server (the default
// size, the grey clear and the caption are seen end to end by tests/e2e_game_window.sh).
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/display.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::writeFile;

namespace {

GLdouble projection(int i) {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return m[i];
}

}  // namespace

TEST(Display, WindowSizeAndProjectionFollowTheSettingsFile) {
    // Sizes beyond what X can hold are never asked for: the first such request used to leave
    // SDL's window broken, and the next buffer swap ended the program with an X error.
    const struct {
        const char* settings;
        int width;
        int height;
        const char* unusable;  // the size the log names
    } cases[] = {
        {"[Resolution]\nWIDTH = \"1280\"\nHeight = 1024\n", 1280, 1024, nullptr},
        {"[resolution]\nheight = 600\n", 1024, 600, nullptr},
        {"[resolution]\nwidth = 16384\nheight = 100\n", 1024, 768, "16384 x 100"},
        {"[resolution]\nwidth = 800\nheight = 20000\n", 1024, 768, "800 x 20000"},
        // A non-numeric width reads as 0; zero and negative sizes open a window all the same,
        // and the size actually opened is what the projection and the mouse use.
        {"[resolution]\nwidth = wide\n", 0, 0, nullptr},
        {"[resolution]\nwidth = 0\nheight = 0\n", 0, 0, nullptr},
        {"[resolution]\nwidth = -640\nheight = -480\n", 0, 0, nullptr},
        {"\x01\xfe[=\n\x7f]]==\n[resolution\nwidth", 0, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        testing_support::ScratchDirectory scratch;
        writeFile("settings.ini", c.settings);
        {
            Display display;
            ASSERT_TRUE(display.windowOpen);
            ASSERT_NE(SDL_GetVideoSurface(), nullptr);
            EXPECT_GT(display.width, 0);
            if (c.width != 0) {
                EXPECT_EQ(display.width, c.width);
                EXPECT_EQ(display.height, c.height);
            }
            EXPECT_EQ(SDL_GetVideoSurface()->w, display.width);
            EXPECT_EQ(SDL_GetVideoSurface()->h, display.height);
            EXPECT_NEAR(-2.0 / projection(5), double(display.height) / display.width, 1e-6);
            EXPECT_NEAR(2.0 / projection(0), 1.0, 1e-6);
            EXPECT_DOUBLE_EQ(display.bottomEdge(), double(display.height) / display.width);
            glClear(GL_COLOR_BUFFER_BIT);
            SDL_GL_SwapBuffers();
        }
        // The display can be made again once it is gone.
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        const std::string size = c.unusable != nullptr ? c.unusable : "";
        if (c.width != 0) {
            EXPECT_EQ(readFile("debug.log"),
                      size.empty() ? ""
                                   : "Unusable window size in settings.ini: " + size +
                                         "\nError: Unable to create SDL OpenGL screen (" + size +
                                         "); opening 1024 x 768 instead\n");
        }
    }
}
