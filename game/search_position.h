// A copy of a game board made for the computer players' search: every colour a set of cells
// (one bit per cell), the owned cells another set, and what the search needs of the players.
// Cells sit in rows of `stride` bits (the board's columns and one empty guard column), so the
// six neighbours of a whole set of cells are found with a few shifts. Cells off the grid (no
// neighbours) follow the grid's rows.
//
// Taken on the thread that owns the board; afterwards the search needs nothing of the board.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class Board;

class SearchPosition {
  public:
    static constexpr int maxSlots = 4;
    // Index of a colour in `colourValues`: the palette numbers 0..8 keep their own.
    static constexpr int paletteColours = 9;

    // Copies `board` for a search to `difficulty`. `usable()` is false when the board cannot be
    // represented this way (then the plain search is used).
    SearchPosition(const Board& board, std::int32_t difficulty);

    bool usable() const { return usable_; }

    // Words of 64 bits per cell set: a power of two from 2 to `maxWords`.
    static constexpr int maxWords = 32;
    int words = 0;
    // Bits per row; and the shift of `stride` split into whole words and remaining bits.
    int stride = 0;
    int strideWords = 0;
    int strideBits = 0;
    std::vector<std::uint64_t> evenColumns;  // cells of even columns
    std::vector<std::uint64_t> gridCells;    // cells that have neighbours (not off the grid)

    // The colour numbers by index; colours beyond the palette get indices from
    // `paletteColours` on.
    std::vector<std::int32_t> colourValues;
    // `colourValues.size()` sets of `words` words, one after another.
    std::vector<std::uint64_t> colours;
    std::vector<std::uint64_t> owned;
    // Per slot: a connected set of the slot's territory holding its start cell, or empty.
    std::vector<std::uint64_t> territories;

    int slots = 0;
    int numPlayers = 0;
    int currentPlayer = 0;
    int activePlayers = 0;
    std::int32_t difficulty = 0;
    float worst = 0.0f;
    std::array<std::int32_t, maxSlots> scores{};
    std::array<bool, maxSlots> active{};
    // The start cell's bit, -1 for none; whether it is off the grid; its colour index.
    std::array<int, maxSlots> startBit{};
    std::array<bool, maxSlots> startOffGrid{};
    std::array<int, maxSlots> startColour{};
    // The bits of the start cell's neighbours N, NE, SE, S, SW, NW; -1 for none.
    std::array<std::array<int, 6>, maxSlots> startNeighbours{};
    // Per slot: the computer level that plays it, or -1 for a person or Expert, whose choices
    // do not follow from the position alone.
    std::array<std::int32_t, maxSlots> levels{};

  private:
    bool usable_ = false;
};
