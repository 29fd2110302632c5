// The first screen: shows the menus in front of a background board and switches between them.
#pragma once

#include <string>

#include "engine/silent_screen.h"

class MenuController : public SilentScreen {
  public:
    bool isMenuController() const override { return true; }
    // Shows the menu file `name` from the next update on.
    void requestMenu(const std::string& name) { requestedMenu = name; }

    std::string requestedMenu;
};
