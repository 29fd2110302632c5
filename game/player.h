// One player slot of a game board.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/worker_thread.h"

class GameBoard;
class PlayerStart;

struct Player {
    std::int32_t score = 1;
    // The score as of the player's last real move; the HUD shows this one.
    std::int32_t shownScore = 1;
    bool isHuman = false;
    // The slot number given when the board was built; it travels with the record when records
    // are swapped.
    std::int32_t index = 0;
    std::int32_t difficulty = 3;
    // An inactive slot takes no turns and holds no colour.
    bool active = true;
    PlayerStart* startTile = nullptr;  // not owned
    GameBoard* board = nullptr;        // set when a search worker starts
};
