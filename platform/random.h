// The game's one random generator: the classic runtime rand of 15-bit results (0..32767), the
// same sequence on every system, seeded once at start-up from the millisecond clock (the
// simulator and the tests seed it themselves to replay a game).
#pragma once

#include <cstdint>

namespace platform {

constexpr int randomMaximum = 32767;

void seedRandom(std::uint32_t seed);
// The generator's state: seeding with it later draws the same numbers again from here on.
std::uint32_t randomState();
// 0..32767.
int random();

}  // namespace platform
