// The one engine state: owns the display, the audio output, the resource manager and the input
// handler, loads the first screen from "Menus\controller.ini" and runs the frame loop until a
// quit request. Screens ask it to quit, to change the screen and to rebuild the display; none of
// these requests acts at once, the loop carries them out at the top of its next pass.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/audio_output.h"
#include "engine/display.h"
#include "engine/frame_bench.h"
#include "engine/input_handler.h"
#include "engine/resource_manager.h"
#include "resources/screen_host.h"

class GameEngine : public ScreenHost {
  public:
    static constexpr const char* controllerFile = "Menus\\controller.ini";

    GameEngine();
    GameEngine(const GameEngine&) = delete;
    GameEngine& operator=(const GameEngine&) = delete;
    ~GameEngine() override;

    // The whole life of the program: start-up, the frame loop, shutdown.
    void run();
    void InitAll();
    void mainLoop();
    void renderFrame();
    void shutdown();

    void requestQuit() override { running = false; }
    void requestMapChange(const std::string& name) override {
        nextMapName = name;
        mapChangePending = true;
    }
    void requestVideoRestart() override { videoRestartPending = true; }
    // The one way display and audio are re-created: a new display (reading the settings file
    // again) and audio output, the input handler pointed at the display, every cached texture
    // and mesh given its GL objects again, and then the current screen its own.
    void restartDisplay() override;
    StaticBatch* staticBatch() override;
    void drawFrameNow() override;
    bool showNextFrameAt(std::uint32_t due) override;
    void playSound(const std::string& name) override;
    void setMasterVolume(int volume) override;
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
    FrameBench frameBench;

  private:
    // When the frame being drawn is due on the screen; none shows it as soon as it is drawn.
    std::optional<std::uint32_t> frameDue_;
    // Whether the screen's update of this pass has shown a frame itself (a computer's move,
    // shown before its sound).
    bool frameShownByUpdate_ = false;

  protected:
    // The steps of InitAll, which wraps them in its exception report.
    virtual void initialise();
};

// The live engine, or null outside its lifetime. Buttons and controls reach it through this.
GameEngine* gameEngine();

// What the program's main function does: runs the engine inside a guard that logs whatever
// escapes it. Always returns 0.
int runGuarded(GameEngine& engine);
