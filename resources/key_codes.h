// Keys as the screens receive them: letters and digits are their lower-case ASCII codes (which
// is what SDL reports for them too), the keypad's digits arrive as the plain digits, and the
// modifiers are folded into a few bits of our own.
#pragma once

#include <cstdint>

namespace keys {

constexpr std::int32_t escape = 27;

// Modifier bits; either Ctrl key gives `ctrl`, and so on.
constexpr std::int32_t shift = 1;
constexpr std::int32_t ctrl = 2;
constexpr std::int32_t alt = 4;

}  // namespace keys
