// The hexagonal board on which the game is played.
#pragma once

#include "engine/silent_screen.h"

class GameBoard : public SilentScreen {
  public:
    bool isGameBoard() const override { return true; }
    // Draws what the static tile batch does not hold.
    void drawOverlay() {}
};
