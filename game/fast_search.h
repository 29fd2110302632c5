// The computer players' search as the game plays it, on a SearchPosition (a copy of the board as
// bit sets) rather than on the board. It walks the same tree as the plain reference search (same
// colours in the same order, same cut-offs, same abort polls, same evaluation), so it makes the
// same choice after the same number of simulated moves; only a move is cheaper.
#pragma once

#include <atomic>

#include "game/search_evaluation.h"

class SearchPosition;

// The colour the player to move on `position` should pick; stops early once `abort` is set.
SearchResult fastSearch(const SearchPosition& position, const std::atomic<bool>& abort);
