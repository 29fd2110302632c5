// The one engine state: owns the display, the audio output, the resource manager and the input
// handler, loads the first screen from "Menus\controller.ini" and runs the frame loop until a
// quit request. Screens ask it to quit, to change the screen and to rebuild the display; none of
// these requests acts at once, the loop carries them out at the top of its next pass.
#pragma once

#include <memory>
#include <string>

#include "engine/audio_output.h"
#include "engine/display.h"
#include "engine/input_handler.h"
#include "engine/resource_manager.h"

class GameEngine {
  public:
    static constexpr const char* controllerFile = "Menus\\controller.ini";

    GameEngine();
    GameEngine(const GameEngine&) = delete;
    GameEngine& operator=(const GameEngine&) = delete;
    virtual ~GameEngine();

    // The whole life of the program: start-up, the frame loop, shutdown.
    void run();
    void InitAll();
    void mainLoop();
    void renderFrame();
    void shutdown();

    void requestQuit() { running = false; }
    void requestMapChange(const std::string& name) {
        nextMapName = name;
        mapChangePending = true;
    }
    void requestVideoRestart() { videoRestartPending = true; }
    // Carries out the pending screen change, as the top of a pass of the loop does.
    void changeMap();

    std::unique_ptr<Display> display;
    std::unique_ptr<AudioOutput> audio;
    std::unique_ptr<ResourceManager> resources;
    std::unique_ptr<InputHandler> input;

    bool running = false;
    bool mapChangePending = false;
    std::string nextMapName;
    bool videoRestartPending = false;

  protected:
    // The steps of InitAll, which wraps them in its exception report.
    virtual void initialise();

  private:
    void restartVideo();
};

// The live engine, or null outside its lifetime. Buttons and controls reach it through this.
GameEngine* gameEngine();

// What the program's main function does: runs the engine inside a guard that logs whatever
// escapes it. Always returns 0.
int runGuarded(GameEngine& engine);
