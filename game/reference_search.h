// The computer players' search in its plain form: moves simulated on the board with an undo
// stack. Slow, but easy to check by reading; the fast search must make exactly its choices.
#pragma once

#include "game/search_evaluation.h"

class Board;
struct Player;

// Searches for `player` on `board` on the calling thread. The board is left as it was, apart
// from every tile's visit stamp being 0.
SearchResult thinkReference(Player& player, Board& board);
