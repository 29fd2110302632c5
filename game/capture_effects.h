// What a player sees when a tile changes colour in play: the tile's entry in the static batch
// takes the new colour and its sparks burst in the colour being replaced. Set-up switches this
// off while it fills pockets.
#pragma once

#include <cstdint>

class Tile;

extern bool suppressCaptureEffects;

void applyCaptureEffects(Tile& tile, std::int32_t oldColour);
