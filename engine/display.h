// The game's one window and its OpenGL context: the size from "settings.ini", the fixed GL state
// every screen draws with, and the static geometry batch. Built at start-up and rebuilt from
// scratch, with the settings read again, when a video restart is carried out.
#pragma once

#include <GL/gl.h>

#include <string>

#include "render/static_batch.h"
#include "render/vertex_arrays.h"

class Display {
  public:
    static constexpr int defaultWidth = 1024;
    static constexpr int defaultHeight = 768;

    // Allocates the empty batch, reads the video settings, opens the window, sets up GL.
    Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    // Drops the batch's GL objects and stops SDL.
    ~Display();

    // Bottom edge of the screen in screen units: height / width.
    double bottomEdge() const;

    void resetBatch() { batch.resetBatch(); }
    void rebuildBatch() { batch.rebuildBatch(); }
    // Empties the batch in place; window, context and GL state stay.
    void emptyBatch();

    int width = defaultWidth;
    int height = defaultHeight;
    // True when SDL_SetVideoMode gave a window.
    bool windowOpen = false;
    // The static tiles of the screen, drawn with one display list.
    StaticBatch batch;

  private:
    void readVideoSettings();
    void openWindow();
    void initGL();
};
