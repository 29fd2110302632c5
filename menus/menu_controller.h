// The screen that is current while the player is in the menus: it shows one menu at a time in
// front of a background board on which computer players keep playing, forwards all input to the
// menu, and switches menus when a button asks it to. When the settings screen has changed the
// resolution, display and audio are re-created at the moment of the switch.
#pragma once

#include <memory>
#include <string>

#include "resources/map.h"

class GameBoard;
class Menu;

class MenuController : public Map {
  public:
    MenuController();
    // The menu goes first (its widgets write their files), then the board.
    ~MenuController() override;

    bool isMenuController() const override { return true; }
    // The background board's tiles are in the static batch.
    bool drawsOverBatch() const override { return true; }
    // The board's batch and lists, and the menu's.
    void restoreGlObjects() override;
    bool loadIniFile(IniFile& ini) override;
    void additionalSetup() override;
    void update() override;
    void draw() override;
    void keyPressed(std::int32_t key, std::int32_t modifiers) override;
    void keyReleased(std::int32_t key, std::int32_t modifiers) override;
    void mouseMoved(double x, double y, double dx, double dy) override;
    void mouseButtonPressed(double x, double y, std::int32_t button) override;
    void mouseButtonReleased(double x, double y, std::int32_t button) override;

    // Shows the menu file `name` from the next update on; the last request of a frame wins.
    void requestMenu(const std::string& name) {
        menuChangeRequested = true;
        pendingMenu = name;
    }
    // Re-create display and audio at the next menu switch (after a resolution change).
    void setDisplayReset() { displayResetRequested = true; }

    bool displayResetRequested = false;
    std::unique_ptr<Menu> currentMenu;
    std::unique_ptr<GameBoard> board;
    bool menuChangeRequested = false;
    std::string pendingMenu;

  private:
    void loadMenu(const std::string& name);
    void makeEveryPlayerAComputer();
};
