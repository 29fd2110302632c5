// Ends the program: the engine finishes its frame and shuts down.
#pragma once

#include "menus/button.h"

class QuitButton : public Button {
  public:
    QuitButton() { executeOnPress = false; }
    std::int32_t getTypeId() const override { return 26; }
    void execute() override;
};
