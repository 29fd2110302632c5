// The window, its size from "settings.ini", the GL state and the projection, on a real X server.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/display.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

// The bottom edge y of the current orthographic projection (left 0, right 1, top 0).
double projectionBottom() {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return -2.0 / m[5];
}

double projectionRight() {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return 2.0 / m[0];
}

struct SizeCase {
    const char* settings;
    int width;
    int height;
    double bottom;
};

}  // namespace

TEST(DisplaySettings, WindowSizeAndProjectionFollowTheSettingsFile) {
    const SizeCase cases[] = {
        {nullptr, 1024, 768, 0.75},
        {"[resolution]\nwidth = 800\nheight = 600\n", 800, 600, 0.75},
        {"[Resolution]\nWIDTH = \"1280\"\nHeight = 1024\n", 1280, 1024, 0.8},
        {"[resolution]\nheight = 600\n", 1024, 600, 600.0 / 1024.0},
    };
    for (const SizeCase& c : cases) {
        ScratchDirectory scratch;
        if (c.settings != nullptr) {
            writeFile("settings.ini", c.settings);
        }
        Display display;
        ASSERT_TRUE(display.windowOpen);
        EXPECT_EQ(display.width, c.width);
        EXPECT_EQ(display.height, c.height);
        ASSERT_NE(SDL_GetVideoSurface(), nullptr);
        EXPECT_EQ(SDL_GetVideoSurface()->w, c.width);
        EXPECT_EQ(SDL_GetVideoSurface()->h, c.height);
        EXPECT_NEAR(projectionBottom(), c.bottom, 1e-6);
        EXPECT_NEAR(projectionRight(), 1.0, 1e-6);
        EXPECT_DOUBLE_EQ(display.bottomEdge(), c.bottom);
    }
}

TEST(DisplaySettings, NonsenseSizesNeverLeaveAZeroWidth) {
    // A non-numeric width reads as 0; zero and negative sizes open a window all the same, and
    // the size actually opened is what the projection and the mouse use.
    const char* settings[] = {
        "[resolution]\nwidth = wide\n",
        "[resolution]\nwidth = 0\nheight = 0\n",
        "[resolution]\nwidth = -640\nheight = -480\n",
    };
    for (const char* text : settings) {
        ScratchDirectory scratch;
        writeFile("settings.ini", text);
        Display display;
        ASSERT_TRUE(display.windowOpen) << text;
        EXPECT_GT(display.width, 0) << text;
        EXPECT_GT(display.height, 0) << text;
        EXPECT_EQ(SDL_GetVideoSurface()->w, display.width);
        EXPECT_NEAR(projectionBottom(), double(display.height) / display.width, 1e-6);
    }
}

TEST(DisplaySettings, ASizeTheDesktopCannotHoldFallsBackToTheDefaultAndIsLogged) {
    // Sizes beyond what X can hold are never asked for: the first such request used to leave
    // SDL's window broken, and the next buffer swap ended the program with an X error.
    const SizeCase cases[] = {
        {"[resolution]\nwidth = 100000\nheight = 100000\n", 100000, 100000, 0.75},
        {"[resolution]\nwidth = 16384\nheight = 100\n", 16384, 100, 0.75},
        {"[resolution]\nwidth = 800\nheight = 20000\n", 800, 20000, 0.75},
    };
    for (const SizeCase& c : cases) {
        ScratchDirectory scratch;
        writeFile("settings.ini", c.settings);
        Display display;
        ASSERT_TRUE(display.windowOpen);
        EXPECT_EQ(display.width, 1024);
        EXPECT_EQ(display.height, 768);
        EXPECT_NEAR(projectionBottom(), c.bottom, 1e-6);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_EQ(readFile("debug.log"), "Unusable window size in settings.ini: " + size +
                                             "\nError: Unable to create SDL OpenGL screen (" +
                                             size + "); opening 1024 x 768 instead\n");
    }
}

TEST(DisplaySettings, GarbageSettingsFileStillGivesTheDefaultWindow) {
    ScratchDirectory scratch;
    std::string garbage(5000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 7919) % 251);
    }
    writeFile("settings.ini", garbage);
    Display display;
    EXPECT_TRUE(display.windowOpen);
    EXPECT_GT(display.width, 0);
}

TEST(DisplayState, FixedGlStateCaptionAndGreyClear) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);

    char* caption = nullptr;
    char* iconCaption = nullptr;
    SDL_WM_GetCaption(&caption, &iconCaption);
    ASSERT_NE(caption, nullptr);
    EXPECT_STREQ(caption, "Tintfall");

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_PROJECTION);
    GLdouble modelView[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; ++i) {
        EXPECT_DOUBLE_EQ(modelView[i], (i % 5 == 0) ? 1.0 : 0.0);
    }

    // Mesa has the compiled-vertex-array extension: both entry points are found.
    EXPECT_NE(glLockArraysEXT, nullptr);
    EXPECT_NE(glUnlockArraysEXT, nullptr);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(display.width / 2, display.height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 178, 1);
    EXPECT_NEAR(pixel[1], 178, 1);
    EXPECT_NEAR(pixel[2], 178, 1);
}

TEST(DisplayState, DisplayCanBeRebuiltAfterItWasDestroyed) {
    ScratchDirectory scratch;
    auto first = std::make_unique<Display>();
    EXPECT_TRUE(first->windowOpen);
    first.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    writeFile("settings.ini", "[resolution]\nwidth = 640\nheight = 400\n");
    Display second;
    EXPECT_TRUE(second.windowOpen);
    EXPECT_EQ(second.width, 640);
    EXPECT_NEAR(projectionBottom(), 0.625, 1e-6);
}
