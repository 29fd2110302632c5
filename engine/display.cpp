#include "engine/display.h"

#include <GL/glu.h>
#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "platform/gl_lookup.h"
#include "platform/sanitizer_support.h"
#include "render/stroke_text.h"
#include "resources/ini_file.h"

namespace {

struct WindowSize {
    int width;
    int height;
    bool operator==(const WindowSize& other) const {
        return width == other.width && height == other.height;
    }
};

// The longest side SDL and X can hold (a scanline of four-byte pixels must stay below 64 KiB);
// the limit when SDL does not report the desktop's size.
constexpr int largestWindowSide = 16383;

// What the desktop shows: the largest window that fits on it.
WindowSize largestUsableSize() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr || info->current_w <= 0 || info->current_h <= 0) {
        return {largestWindowSide, largestWindowSide};
    }
    return {info->current_w, info->current_h};
}

bool fitsWithin(const WindowSize& size, const WindowSize& largest) {
    return size.width <= largest.width && size.height <= largest.height;
}

// The smallest of the modes SDL lists; false when it lists none.
bool smallestOfferedSize(WindowSize& smallest) {
    SDL_Rect** modes = SDL_ListModes(nullptr, SDL_OPENGL | SDL_FULLSCREEN);
    if (modes == nullptr || modes == reinterpret_cast<SDL_Rect**>(-1)) {
        return false;
    }
    bool found = false;
    for (std::size_t i = 0; modes[i] != nullptr; ++i) {
        const WindowSize mode{modes[i]->w, modes[i]->h};
        if (!found || mode.width * mode.height < smallest.width * smallest.height) {
            smallest = mode;
            found = true;
        }
    }
    return found;
}

std::string sizeText(const WindowSize& size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

}  // namespace

Display::Display() {
    resetBatch();
    readVideoSettings();
    openWindow();
    initGL();
}

Display::~Display() {
    batch.release();
    SDL_Quit();
}

double Display::bottomEdge() const {
    return width > 0 ? static_cast<double>(height) / static_cast<double>(width) : 0.0;
}

void Display::readVideoSettings() {
    const IniFile settings("settings.ini");
    width = settings.getInt("resolution", "width", defaultWidth);
    height = settings.getInt("resolution", "height", defaultHeight);
    // The window that opens instead is named when it opens; the file is named here.
    if (width < 1 || height < 1 || width > largestWindowSide || height > largestWindowSide) {
        debugLog << "Unusable window size in settings.ini: " << width << " x " << height << endLine;
    }
}

void Display::openWindow() {
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        logText("Error: unable to initialise SDL\n");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
        logText("Error: unable to initialise SDL video\n");
    }
    // Without video (no X server) SDL 1.2 would dereference its missing video device in the
    // calls below: no window is asked for then.
    const bool video = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (video) {
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    }

    // SDL takes 0 as "the desktop size" and refuses negative sizes; the real size of the window
    // is read back below, so a nonsense setting can never leave a zero width behind.
    const WindowSize requested{width > 0 ? width : 0, height > 0 ? height : 0};
    // Read before any window exists: afterwards SDL reports the window's size instead.
    const WindowSize largest = largestUsableSize();
    // A size the system cannot open falls back to the default one, then to the smallest SDL
    // offers.
    std::vector<WindowSize> sizes = {requested};
    if (!(requested == WindowSize{defaultWidth, defaultHeight})) {
        sizes.push_back({defaultWidth, defaultHeight});
    }
    WindowSize smallest{0, 0};
    if (video && smallestOfferedSize(smallest) && !(smallest == sizes.back())) {
        sizes.push_back(smallest);
    }
    if (!video) {
        sizes.resize(1);
    }
    SDL_Surface* screen = nullptr;
    for (std::size_t i = 0; i < sizes.size() && screen == nullptr; ++i) {
        // X cannot hold every size: asking for one that is too big leaves SDL's window broken
        // for the next attempt, so such a size is not asked for at all.
        if (video && fitsWithin(sizes[i], largest)) {
            screen = platform::openGlWindow(sizes[i].width, sizes[i].height);
        }
        if (screen == nullptr) {
            logText("Error: Unable to create SDL OpenGL screen");
            logString(" (" + sizeText(sizes[i]) + ")");
            if (i + 1 < sizes.size()) {
                logString("; opening " + sizeText(sizes[i + 1]) + " instead");
            }
            logText("\n");
        }
    }
    windowOpen = screen != nullptr;
    if (screen != nullptr) {
        platform::keepGlDriverLoaded();
        initialiseStrokeFont();
        width = screen->w;
        height = screen->h;
    } else {
        width = defaultWidth;
        height = defaultHeight;
    }
    SDL_WM_SetCaption("Tintfall", nullptr);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_ShowCursor(SDL_ENABLE);
}

void Display::initGL() {
    glLockArraysEXT = nullptr;
    glUnlockArraysEXT = nullptr;
    if (!windowOpen) {
        return;  // no context to set up
    }
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    if (extensions != nullptr && std::strstr(reinterpret_cast<const char*>(extensions),
                                             "GL_EXT_compiled_vertex_array") != nullptr) {
        glLockArraysEXT =
            reinterpret_cast<LockArraysFunction>(platform::lookupGlFunction("glLockArraysEXT"));
        glUnlockArraysEXT =
            reinterpret_cast<UnlockArraysFunction>(platform::lookupGlFunction("glUnlockArraysEXT"));
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glClearColor(0.7f, 0.7f, 0.7f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, bottomEdge(), 0.0);
}

void Display::emptyBatch() {
    batch.release();
    batch.resetBatch();
}
