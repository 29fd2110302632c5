// What a player sees of a move is shown by whoever shows the board: the rules only tell it which
// cells changed colour.
#pragma once

#include <cstdint>

class Tile;

class MoveEffects {
  public:
    virtual ~MoveEffects() = default;
    // `tile` has changed colour in play, from `oldColour` to the colour it has now.
    virtual void tileRecoloured(Tile& tile, std::int32_t oldColour) = 0;
    // `tile` has taken back the colour it had before a move that was undone.
    virtual void tileRestored(Tile& /*tile*/) {}
};
