// The hexagonal board on which the game is played.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/silent_screen.h"
#include "game/player.h"

class PlayerStart;

class GameBoard : public SilentScreen {
  public:
    bool isGameBoard() const override { return true; }
    // Draws what the static tile batch does not hold.
    void drawOverlay() {}
    // True when `cell` is the start cell of the player whose turn it is, while the game goes on.
    bool isTurnStartCell(const PlayerStart* /*cell*/) const { return false; }
    // No active player holds `colour`.
    bool isColourFree(std::int32_t /*colour*/, bool /*ignoreCurrent*/) const { return true; }
    // Plays the move of the player to move with `colour`.
    void takeTurn(std::int32_t /*colour*/) {}

    std::int32_t numPlayers = 0;
    std::vector<Player> players;
    std::int32_t currentPlayer = 0;
    std::int32_t turnPlayer = 0;
};
