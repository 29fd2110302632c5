// Shows another menu through the menu controller, or has the engine load another screen.
#pragma once

#include <string>

#include "menus/button.h"

class NewMapButton : public Button {
  public:
    NewMapButton() { executeOnPress = false; }
    std::int32_t getTypeId() const override { return 28; }
    void execute() override;

    bool useController = true;
    std::string mapToLoad;
};
