// The board's grid of hexagonal cells: which cells neighbour which, and the colour of a black
// cell. Cells sit in rows and columns; odd columns sit half a row lower than even ones.
#pragma once

#include <cstdint>

namespace hex_grid {

// The colour number of a black cell: never a player's colour, taken only by capture.
constexpr std::int32_t black = 8;

// The steps (row, column) to the six neighbours, in the order N, NE, SE, S, SW, NW, for a cell
// of an even and of an odd column.
constexpr std::int32_t evenColumnSteps[6][2] = {{-1, 0}, {-1, 1}, {0, 1},
                                                {1, 0},  {0, -1}, {-1, -1}};
constexpr std::int32_t oddColumnSteps[6][2] = {{-1, 0}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}};

// The steps for a cell of column `col` (any sign).
constexpr const std::int32_t (&neighbourSteps(std::int64_t col))[6][2] {
    return col % 2 == 0 ? evenColumnSteps : oddColumnSteps;
}

}  // namespace hex_grid
