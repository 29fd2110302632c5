// One screen of the game: the menu controller, a menu or the game board. The engine keeps one
// current Map and drives it every frame: update, draw, then the mouse events of that frame.
// The base versions of what every screen must supply only write an error line to the debug log.
#pragma once

#include <cstdint>
#include <string>

class IniFile;
class InputHandler;

class Map {
  public:
    Map() = default;
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;
    virtual ~Map() = default;

    // Reads the screen from `path`: an ".ini" file (lower case only) through loadIniFile,
    // anything else as a binary map package.
    virtual bool load(const std::string& path, bool loadAll);
    virtual bool isMap() const { return true; }
    virtual bool isMenu() const { return false; }
    virtual bool isGameBoard() const { return false; }
    virtual bool isMenuController() const { return false; }

    virtual void additionalSetup();
    virtual void update();
    virtual void draw();
    virtual void keyPressed(std::int32_t key, std::int32_t modifiers);
    virtual void keyReleased(std::int32_t key, std::int32_t modifiers);
    virtual void mouseMoved(double x, double y, double dx, double dy);
    virtual void mouseButtonPressed(double x, double y, std::int32_t button);
    virtual void mouseButtonReleased(double x, double y, std::int32_t button);
    virtual bool loadIniFile(IniFile& ini);

    const std::string& fileName() const { return fileName_; }

    // Not owned; set once the screen has been loaded.
    InputHandler* input = nullptr;

  protected:
    std::string fileName_;
};
