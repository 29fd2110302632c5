// A menu screen described by an ini file, one widget per section.
#pragma once

#include "engine/silent_screen.h"

class Menu : public SilentScreen {
  public:
    bool isMenu() const override { return true; }
};
