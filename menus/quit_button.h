// Ends the program: the engine finishes its frame and shuts down.
#pragma once

#include "menus/button.h"
#include "resources/type_ids.h"

class QuitButton : public Button {
  public:
    QuitButton() { executeOnPress = false; }
    std::int32_t getTypeId() const override { return TypeId::quitButton; }
    void readSection(const IniFile& ini, int section) override;
    void execute() override;
};
