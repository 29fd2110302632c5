// Shows another menu through the menu controller, or has the engine load another screen.
#pragma once

#include <string>

#include "menus/button.h"
#include "resources/type_ids.h"

class NewMapButton : public Button {
  public:
    NewMapButton() { executeOnPress = false; }
    std::int32_t getTypeId() const override { return TypeId::newMapButton; }
    void readSection(const IniFile& ini, int section) override;
    void execute() override;

    bool useController = true;
    std::string mapToLoad;
};
