// One hexagonal cell of the game board. Its colour is a palette number (0 an uncoloured start
// cell, 1..7 the playable colours, 8 black); `owned` says it belongs to a player's territory.
// The six neighbour links run N, NE, SE, S, SW, NW and are null where the board has no cell.
#pragma once

#include <array>

#include "game/actor.h"
#include "render/static_batch.h"

class Emitter;

class Tile : public Actor, public BatchOwner {
  public:
    enum Direction { north = 0, northEast, southEast, south, southWest, northWest };

    // Takes the cell mesh "Hex.smf" and the texture "Hex.bmp" from the resource manager, when
    // there is one.
    Tile();

    std::int32_t getTypeId() const override { return 35; }
    bool isTile() const override { return true; }

    void setColour(std::int32_t newColour) { colour = newColour; }
    void setOwned(bool isOwned) { owned = isOwned; }
    void setBatchIndex(int index) override { batchIndex = index; }

    std::int32_t colour = -1;
    std::int32_t batchIndex = -1;
    std::int32_t row = -1;
    std::int32_t col = -1;
    std::array<Tile*, 6> neighbours{};  // not owned
    bool owned = false;
    std::int32_t mark = 0;
    Emitter* emitter = nullptr;  // held by the board's object list
};
