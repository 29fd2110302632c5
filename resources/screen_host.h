// What a running program offers the screens it shows. Screens and their widgets reach the engine
// only through this: none of the requests acts at once except where it says so.
#pragma once

#include <cstdint>
#include <string>

class StaticBatch;

class ScreenHost {
  public:
    virtual ~ScreenHost() = default;

    // Ends the program after the current frame.
    virtual void requestQuit() = 0;
    // Replaces the current screen by the one in file `name` at the start of the next frame.
    virtual void requestMapChange(const std::string& name) = 0;
    // Re-creates display and audio from the settings file at the next screen change.
    virtual void requestVideoRestart() = 0;
    // Re-creates display and audio now, from the settings file, and brings back every GL object
    // of the cached resources and of the current screen.
    virtual void restartDisplay() = 0;
    // The display's batch of static geometry; null without a display.
    virtual StaticBatch* staticBatch() = 0;
    // Draws one frame of the current screen at once.
    virtual void drawFrameNow() = 0;
    // Shows the next frame drawn no sooner than `due` (platform::milliseconds): a screen's frame
    // clock waits there, after the frame's work, so a frame that costs more than the one before
    // it is not shown late. False when the host shows no frames (the screen then waits itself).
    virtual bool showNextFrameAt(std::uint32_t due) = 0;
    // Plays the sound file `name` (loaded at need).
    virtual void playSound(const std::string& name) = 0;
    // The master volume, 0..128; heard at once.
    virtual void setMasterVolume(int volume) = 0;
};
