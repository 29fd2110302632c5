// The game's random draws: rand() narrowed to 0..32767, the range every random choice is worked
// out for. Where the C library's rand() reaches further (glibc goes up to 2^31 - 1) its high
// bits are kept; where RAND_MAX is 32767 the value passes unchanged, so a seed gives the same
// sequence there as the C library does.
#pragma once

#include <cstdlib>

namespace platform {

constexpr int randomMaximum = 32767;

inline int randomValue() {
    static_assert(RAND_MAX >= randomMaximum, "rand() must reach 32767");
    return std::rand() / (RAND_MAX / (randomMaximum + 1) + 1);
}

}  // namespace platform
