// The computer players. When a computer player's turn comes, the board takes a copy of itself
// and starts a worker thread that searches the colour choices several moves ahead on that copy
// (every player assumed to pick what is best for itself, scored by a margin evaluation), and
// leaves the chosen colour in the player's record for the main thread to play. The worker never
// touches the live board.
#pragma once

#include <array>
#include <cstdint>

class GameBoard;
struct Player;

// Starts a search for `player` on `board` (stopping any earlier one first).
void startThinking(Player& player, GameBoard& board);
// Stops the player's search, waiting at most 10 s for its worker.
void cancelThinking(Player& player);

struct SearchResult {
    std::int32_t colour = 0;
    std::int64_t simulatedMoves = 0;
};

// The search itself, run on the calling thread: the colour the player to move should pick on
// `board`. The board is left as it was, apart from every tile's visit stamp being 0.
SearchResult think(Player& player, GameBoard& board);

// One value per player slot (at most four take part): how good the position is for each.
using ScoreVector = std::array<float, 4>;

// The margin evaluation: the single leader gets its lead over the second, every other player
// minus what it trails the players ahead of it by, each as a share of all cells taken.
ScoreVector evaluatePosition(const GameBoard& board);

// How many plies the player looks ahead with `activePlayers` taking part (at most 64).
std::int32_t searchDepth(std::int32_t difficulty, std::int32_t activePlayers);
