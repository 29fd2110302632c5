#include "engine/display.h"

#include <GL/glu.h>
#include <SDL.h>

#include <cstring>

#include "engine/debug_log.h"
#include "platform/gl_lookup.h"
#include "platform/sanitizer_support.h"
#include "resources/ini_file.h"

LockArraysFunction glLockArraysEXT = nullptr;
UnlockArraysFunction glUnlockArraysEXT = nullptr;

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
}

void Display::openWindow() {
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        logText("Error: unable to initialise SDL\n");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
        logText("Error: unable to initialise SDL video\n");
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    // SDL takes 0 as "the desktop size" and refuses negative sizes; the real size of the window
    // is read back below, so a nonsense setting can never leave a zero width behind.
    const int requestedWidth = width > 0 ? width : 0;
    const int requestedHeight = height > 0 ? height : 0;
    SDL_Surface* screen = SDL_SetVideoMode(requestedWidth, requestedHeight, 0, SDL_OPENGL);
    if (screen == nullptr) {
        logText("Error: Unable to create SDL OpenGL screen");
        if (requestedWidth != defaultWidth || requestedHeight != defaultHeight) {
            // A size the system cannot open falls back to the default one.
            screen = SDL_SetVideoMode(defaultWidth, defaultHeight, 0, SDL_OPENGL);
        }
    }
    windowOpen = screen != nullptr;
    if (screen != nullptr) {
        platform::keepGlDriverLoaded();
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
