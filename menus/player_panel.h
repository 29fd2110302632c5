// A panel that lights up in a dark shade of its player's colour while that player is to move.
#pragma once

#include "menus/panel.h"
#include "resources/type_ids.h"

class PlayerPanel : public Panel {
  public:
    std::int32_t getTypeId() const override { return TypeId::playerPanel; }
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    // Takes the colour from the board: the palette colour while the player is to move, black
    // otherwise. False when there is nothing to draw (no board, no record, an inactive player).
    bool refresh();

    // The 0-based player slot shown.
    std::int32_t player = 0;
};

// The darker colours of the player panels, indexed like the player colours.
extern const float PanelColours[9][4];
