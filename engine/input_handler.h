// Drains SDL's event queue once a frame and hands the mouse to the current screen in screen
// units: x from 0 at the left edge to 1 at the right, y from 0 at the top to height/width at
// the bottom. Motion, the left button and the keys reach the screen; closing the window quits.
#pragma once

class Display;
class Map;

class InputHandler {
  public:
    using QuitFunction = void (*)();

    InputHandler(QuitFunction quit, Display* displayToUse);

    // Handles every queued event; stops early, leaving the rest queued, at a window close.
    void pollEvents();

    Display* display;  // not owned
    QuitFunction onQuit;
    Map* eventTarget = nullptr;  // not owned
};
