// The computer players' hand-over between the board's thread and a search worker. When a computer
// player's turn comes, the board starts a worker that searches the colour choices several moves
// ahead and leaves the chosen colour in the player's record for the board's thread to play.
// The worker never touches the live board: it searches a copy taken when it starts (the bit sets
// of search_position.h, or on a board too large for them a plain copy of the board).
#pragma once

#include <cstdint>

#include "game/search_evaluation.h"

class Board;
struct Player;

// Starts a search for `player` on `board` (stopping any earlier one first). A search `behindFrames`
// runs at a lower priority, so the frames of a shown board never wait for processor time.
void startThinking(Player& player, Board& board, bool behindFrames = false);
// Stops the player's search, waiting at most 10 s for its worker.
void cancelThinking(Player& player);

// The search itself, run on the calling thread: the colour the player to move should pick on
// `board`. The board is left as it was, apart from every tile's visit stamp being 0.
SearchResult think(Player& player, Board& board);
