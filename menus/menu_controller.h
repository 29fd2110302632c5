// The first screen: shows the menus in front of a background board and switches between them.
#pragma once

#include "engine/silent_screen.h"

class MenuController : public SilentScreen {
  public:
    bool isMenuController() const override { return true; }
};
