// The first screen: shows the menus in front of a background board and switches between them.
#pragma once

#include <string>

#include "engine/silent_screen.h"

class MenuController : public SilentScreen {
  public:
    bool isMenuController() const override { return true; }
    // Shows the menu file `name` from the next update on; the last request of a frame wins.
    void requestMenu(const std::string& name) {
        menuChangeRequested = true;
        pendingMenu = name;
    }
    // Re-create display and audio at the next menu switch (after a resolution change).
    void setDisplayReset() { displayResetRequested = true; }

    bool displayResetRequested = false;
    bool menuChangeRequested = false;
    std::string pendingMenu;
};
