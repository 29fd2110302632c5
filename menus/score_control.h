// Arranges the end-of-game score screen once, when it loads: ranks the active players by score
// and fills the rows `text1`..`text4` (rank labels) and `score1`..`score4` (scores), shrinking
// the background panels `panel1` and `panel2` around the rows in use. Draws nothing.
#pragma once

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class ScoreControl : public HudObject {
  public:
    static constexpr int rowCount = 4;
    // Shift of the labels of the winners, so a "1" sits where the wider digits do.
    static constexpr double winnerShift = 0.003;

    std::int32_t getTypeId() const override { return TypeId::scoreControl; }
    void postLoad() override;
    void draw() override {}
};
