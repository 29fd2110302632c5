// The hint: the colour a computer player at Hard would pick for the player to move, searched on a
// worker as a computer player's move is, so that asking for it never holds up a frame.
#pragma once

#include <cstdint>

#include "game/player.h"

class Board;

class HintSearch {
  public:
    // How hard the hint thinks: the computer players' Hard.
    static constexpr std::int32_t difficulty = 3;

    HintSearch() { searcher_.difficulty = difficulty; }
    ~HintSearch() { cancel(); }
    HintSearch(const HintSearch&) = delete;
    HintSearch& operator=(const HintSearch&) = delete;

    // Starts a search for the player to move on `board`, unless one is running already.
    void start(Board& board);
    // Stops a running search (the position it searched is gone) and forgets its colour.
    void cancel();
    bool running() const;
    // The colour found, once: 1..7 the first time it is asked after the search has ended, 0
    // before, after, and when the search found none.
    std::int32_t takeColour();

  private:
    Player searcher_;
};
