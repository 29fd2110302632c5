// A player's start cell: created owned, it holds the colour its player shows, and it turns
// slowly while its player is to move.
#pragma once

#include "game/tile.h"
#include "resources/type_ids.h"

class PlayerStart : public Tile {
  public:
    // The board's resting turn of every cell (270 degrees).
    static constexpr std::uint16_t restingAngle = 0xC000;

    explicit PlayerStart(bool drawn = true);

    std::int32_t getTypeId() const override { return TypeId::playerStart; }
    // Turns while its player is to move; otherwise snaps back to the resting turn.
    void update(std::int32_t elapsedMs) override;

    std::int32_t playerColour = -1;
};

// The angle `angle` (65536 units a turn) advanced by 0.045 degrees per millisecond.
std::uint16_t turnedAngle(std::uint16_t angle, std::int32_t elapsedMs);
