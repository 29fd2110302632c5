// What both computer-player searches share: the score vectors, the margin evaluation and the
// search depth.
#pragma once

#include <array>
#include <cstdint>

class Board;

// One value per player slot (at most four take part): how good the position is for each.
using ScoreVector = std::array<float, 4>;

struct SearchResult {
    std::int32_t colour = 0;
    std::int64_t simulatedMoves = 0;
};

// The margin evaluation: the single leader gets its lead over the second, every other player
// minus what it trails the players ahead of it by, each as a share of all cells taken.
ScoreVector evaluatePosition(const Board& board);

// How many plies the player looks ahead with `activePlayers` taking part (at most 64).
std::int32_t searchDepth(std::int32_t difficulty, std::int32_t activePlayers);
