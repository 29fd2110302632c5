// Turns the list boxes of the new-game screen into an editor of the player set-up file: selects
// the file's values when the screen loads, keeps the dependent lists enabled or disabled while
// it is shown, and writes the selections back when it goes away. Draws nothing.
#pragma once

#include <array>
#include <string>

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class ListBox;

class NewGameControl : public HudObject {
  public:
    static constexpr int playerSlots = 4;

    std::int32_t getTypeId() const override { return TypeId::newGameControl; }
    void readSection(const IniFile& ini, int section) override;
    void postLoad() override;
    void update(std::int32_t elapsedMs) override;
    void beforeUnload() override;
    void draw() override {}

    std::string iniFile;
    // Partner lists, not owned; null when the screen has none of that name and kind. Index 0
    // is player 1.
    std::array<ListBox*, playerSlots> aiControl{};
    std::array<ListBox*, playerSlots> aiDifficulty{};
    ListBox* playersList = nullptr;
    ListBox* firstPlayerList = nullptr;

  private:
    ListBox* findList(const std::string& name) const;
};
