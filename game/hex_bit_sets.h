// Sets of cells of a hexagonal board as bit sets, one bit per cell in rows of `stride` bits (the
// board's columns and an empty guard column; see search_position.h), so that the neighbours of
// a whole set are found with a few shifts. Both bit-set searches use these.
#pragma once

#include <array>
#include <cstdint>

namespace hex_bit_sets {

template <int Words>
using Set = std::array<std::uint64_t, Words>;

// The shape of the rows: which cells sit in even columns, and the stride split into whole words
// and remaining bits.
template <int Words>
struct Layout {
    Set<Words> even{};
    int strideWords = 0;
    unsigned strideBits = 0;
};

// Every cell next to a cell of `from` (and some guard bits, which no allowed set holds).
template <int Words>
inline void neighbours(const Layout<Words>& layout, const Set<Words>& from, Set<Words>& to) {
    const Set<Words>& even = layout.even;
    // Even columns reach the row above diagonally, odd ones the row below.
    Set<Words> upward;
    Set<Words> downward;
    Set<Words> sideways;
    for (int i = 0; i < Words; ++i) {
        const std::uint64_t evenPart = from[i] & even[i];
        const std::uint64_t oddPart = from[i] & ~even[i];
        const std::uint64_t evenBelow = i > 0 ? (from[i - 1] & even[i - 1]) >> 63 : 0;
        const std::uint64_t evenAbove = i + 1 < Words ? (from[i + 1] & even[i + 1]) << 63 : 0;
        const std::uint64_t oddBelow = i > 0 ? (from[i - 1] & ~even[i - 1]) >> 63 : 0;
        const std::uint64_t oddAbove = i + 1 < Words ? (from[i + 1] & ~even[i + 1]) << 63 : 0;
        const std::uint64_t evenSide = (evenPart << 1) | evenBelow | (evenPart >> 1) | evenAbove;
        const std::uint64_t oddSide = (oddPart << 1) | oddBelow | (oddPart >> 1) | oddAbove;
        sideways[i] = evenSide | oddSide;
        upward[i] = from[i] | evenSide;
        downward[i] = from[i] | oddSide;
    }
    const int q = layout.strideWords;
    const unsigned r = layout.strideBits;
    for (int i = 0; i < Words; ++i) {
        // One row up: bit index minus the stride.
        std::uint64_t up = 0;
        if (i + q < Words) {
            up = upward[i + q] >> r;
            if (i + q + 1 < Words) {
                up |= (upward[i + q + 1] << 1) << (63 - r);
            }
        }
        // One row down: bit index plus the stride.
        std::uint64_t down = 0;
        if (i - q >= 0) {
            down = downward[i - q] << r;
            if (i - q - 1 >= 0) {
                down |= (downward[i - q - 1] >> 1) >> (63 - r);
            }
        }
        to[i] = sideways[i] | up | down;
    }
}

// Adds to `area` every cell of `allowed` connected to it.
template <int Words>
inline void grow(const Layout<Words>& layout, Set<Words>& area, const Set<Words>& allowed) {
    Set<Words> frontier = area;
    Set<Words> found;
    for (;;) {
        neighbours<Words>(layout, frontier, found);
        std::uint64_t any = 0;
        for (int i = 0; i < Words; ++i) {
            found[i] &= allowed[i] & ~area[i];
            area[i] |= found[i];
            any |= found[i];
        }
        if (any == 0) {
            return;
        }
        frontier = found;
    }
}

}  // namespace hex_bit_sets
