// One player's score, in that player's colour, refreshed from the board every frame.
#pragma once

#include "menus/text_box.h"
#include "resources/type_ids.h"

class PlayerScoreText : public TextBox {
  public:
    std::int32_t getTypeId() const override { return TypeId::playerScoreText; }
    // Its player, not the text (which follows the board).
    void readSection(const IniFile& ini, int section) override;
    void cycleUpdate() override;
    void draw() override;

    // The 0-based player slot shown, matched against the records' index.
    std::int32_t player = 0;
};
