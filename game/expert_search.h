// The Expert computer player. Unlike the levels, whose lookahead floods territories but never
// captures, Expert plays the game's own move on the bit-set copy of the board (flood, claims and
// captures of walled-in areas, black ones included) and judges a position by the cells each
// player holds plus the cells it would reach first. When every other player is a computer level,
// whose choice follows from the position, it plays out their actual answers (the levels' own
// search) to each line of its moves; against people it searches with alpha-beta, everyone else
// assumed to play against it. Both deepen iteratively against a time budget.
#pragma once

#include <atomic>
#include <cstdint>

#include "game/search_evaluation.h"

class SearchPosition;

struct ExpertLimits {
    // No new depth is started after `softMs` (against the levels, once four of Expert's own
    // moves have been searched); the search stops wherever it is at `hardMs`.
    double softMs = 40.0;
    double hardMs = 500.0;
    // The deepest search (plies; against the levels, moves of Expert's own). A fixed depth, with
    // the limits out of reach, makes the choice independent of the clock.
    std::int32_t maxDepth = 60;
    // Against the levels: after `exactMs` the Easy level's search stands in for their answers
    // beyond the first round, which keeps a search on a large board near its budget.
    double exactMs = 80.0;
};

// Whether Expert can search `position` (a grid board with the nine colours of the palette and
// every start cell on the grid); where it cannot, the Hard level plays in its place.
bool expertCanSearch(const SearchPosition& position);

// The colour Expert picks for the player to move. `simulatedMoves` counts the moves made.
SearchResult thinkExpert(const SearchPosition& position, const std::atomic<bool>& abort,
                         const ExpertLimits& limits = ExpertLimits());

// Plays `colour` for the player to move on the copy with Expert's move rule and writes the
// result back into it (colours, owned cells, scores, start colours, player to move). False
// when Expert cannot search the position.
bool playExpertMove(SearchPosition& position, std::int32_t colour);

// Plays `colour` for the player to move on the copy and then the other players' answers up to its
// next turn, as Expert foresees them when they are all computer levels (their own searches);
// leaves the player to move as it was. False when Expert cannot search the position.
bool playForeseenRound(SearchPosition& position, std::int32_t colour);
