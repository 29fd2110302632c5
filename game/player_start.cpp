#include "game/player_start.h"

#include <cmath>

#include "game/board.h"

PlayerStart::PlayerStart(bool drawn) : Tile(drawn) {
    owned = true;
}

std::uint16_t turnedAngle(std::uint16_t angle, std::int32_t elapsedMs) {
    const float degrees = static_cast<float>(angle) * 360.0f / 65536.0f + elapsedMs * 0.045f;
    const double units = std::trunc(static_cast<double>(degrees) * 65536.0 / 360.0);
    // Kept modulo a full turn; fmod keeps any (even a negative) value in range before the cast.
    double wrapped = std::fmod(units, 65536.0);
    if (wrapped < 0) {
        wrapped += 65536.0;
    }
    return static_cast<std::uint16_t>(wrapped);
}

void PlayerStart::update(std::int32_t elapsedMs) {
    if (board != nullptr && board->isTurnStartCell(this)) {
        rotation.c = turnedAngle(rotation.c, elapsedMs);
    } else {
        rotation = Rotation(0, 0, restingAngle);
    }
}
