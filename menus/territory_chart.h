// The game in a picture, for the score screen: every player's territory after each move of the
// game, one line a player in the player's colour, over the moves from the first to the last.
// The counts come from playing the board's moves again from its start position, once, when the
// score screen loads.
#pragma once

#include <cstdint>
#include <vector>

#include "menus/hud_object.h"

class TerritoryChart : public HudObject {
  public:
    struct Line {
        std::int32_t colour;              // the player's colour number
        std::vector<std::int32_t> cells;  // before the first move, then after each move
    };

    void postLoad() override;
    void draw() override;
    std::vector<PlacedText> placedTexts() const override;

    const std::vector<Line>& lines() const { return lines_; }

  private:
    struct Area {
        double left;
        double top;
        double right;
        double bottom;
    };
    double labelHeight() const;
    // Where the lines go, inside the rectangle and clear of the labels.
    Area plotArea() const;

    std::vector<Line> lines_;
    std::int32_t moves_ = 0;
    std::int32_t most_ = 0;
};
