// One screen of the game: the menu controller, a menu or the game board. The engine keeps one
// current Map and drives it every frame: update, draw, then the mouse events of that frame.
// A Map is also a Package: the objects that make up the screen are its objects, read from an
// ini file through loadIniFile or from a binary map package by type id.
// The base versions of what every screen must supply only write an error line to the debug log.
#pragma once

#include <cstdint>
#include <string>

#include "resources/package.h"

class IniFile;
class InputHandler;
class ScreenHost;

class Map : public Package {
  public:
    Map() = default;
    // Lets every HUD object on the screen run its beforeUnload, then deletes the objects.
    ~Map() override;

    // Reads the screen from `path`: an ".ini" file (lower case only) through loadIniFile,
    // anything else as a binary map package.
    bool load(const std::string& path, bool loadAll) override;
    bool isMap() const override { return true; }
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string& name,
                                             std::uint32_t payloadOffset) override;

    virtual void additionalSetup();
    virtual void update();
    virtual void draw();
    virtual void keyPressed(std::int32_t key, std::int32_t modifiers);
    virtual void keyReleased(std::int32_t key, std::int32_t modifiers);
    virtual void mouseMoved(double x, double y, double dx, double dy);
    virtual void mouseButtonPressed(double x, double y, std::int32_t button);
    virtual void mouseButtonReleased(double x, double y, std::int32_t button);
    virtual bool loadIniFile(IniFile& ini);

    // Whether the frame draws the static batch under this screen; such a screen then draws
    // what it adds over the batch with drawOverlay, which draws the whole screen unless a
    // screen says otherwise.
    virtual bool drawsOverBatch() const { return false; }
    virtual void drawOverlay() { draw(); }
    // After the display was re-created: builds again whatever GL objects the screen holds
    // beyond the cached resources (which the host brings back itself).
    virtual void restoreGlObjects() {}

    // Not owned; set once the screen has been loaded.
    InputHandler* input = nullptr;
    // Not owned: the running program showing this screen; set with `input`, or by the screen
    // that owns this one. Null in tools and tests that run screens on their own.
    ScreenHost* host = nullptr;
};
