// The hexagonal board on which the game is played.
#pragma once

#include "engine/silent_screen.h"

class PlayerStart;

class GameBoard : public SilentScreen {
  public:
    bool isGameBoard() const override { return true; }
    // Draws what the static tile batch does not hold.
    void drawOverlay() {}
    // True when `cell` is the start cell of the player whose turn it is, while the game goes on.
    bool isTurnStartCell(const PlayerStart* /*cell*/) const { return false; }
};
