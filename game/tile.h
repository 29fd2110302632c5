// One hexagonal cell of the game board. Its colour is a palette number (0 an uncoloured start
// cell, 1..7 the playable colours, 8 black); `owned` says it belongs to a player's territory.
// The six neighbour links run N, NE, SE, S, SW, NW and are null where the board has no cell.
#pragma once

#include <array>

#include "game/actor.h"
#include "render/batch_owner.h"
#include "resources/type_ids.h"

class Board;
class Emitter;

class Tile : public Actor, public BatchOwner {
  public:
    enum Direction { north = 0, northEast, southEast, south, southWest, northWest };

    // Takes the cell mesh "Hex.smf" and the texture "Hex.bmp" from the resource manager, when
    // there is one.
    Tile() : Tile(true) {}
    // A cell without mesh and texture when not `drawn` (the cells of a search's copy).
    explicit Tile(bool drawn);

    std::int32_t getTypeId() const override { return TypeId::tile; }
    bool isTile() const override { return true; }

    void setBatchIndex(int index) override { batchIndex = index; }
    // Places the cell of (row, col) on a board of the given size, in screen units.
    void placeOnBoard(std::int32_t numRows, std::int32_t numCols);

    // The territory walks. Each visits the neighbours in the order N, NE, SE, S, SW, NW; they
    // keep their own stacks, so the largest boards cannot overflow the program's stack.

    // Gives the territory of this tile the colour `newColour`, taking in touching unowned areas
    // of that colour; the count of tiles newly taken.
    std::int32_t recolour(std::int32_t newColour);
    // Takes this unowned tile and the unowned area of its colour around it; the count taken.
    std::int32_t claim();
    // From a tile of the mover's territory: captures every unowned area the territory walls in;
    // the count captured.
    std::int32_t captureEnclosed();
    // Whether the unowned area around this tile touches no owned tile of a colour other than
    // `stamp`. Pockets inside a black area found on the way are absorbed, counted in `counter`.
    bool isEnclosed(std::int32_t stamp, std::int32_t& counter);
    // Stamps the unowned area around this tile (black and ordinary cells kept apart).
    void markRegion(std::int32_t stamp);
    // Takes this tile and everything unowned around it into colour `newColour`; the count taken.
    std::int32_t absorb(std::int32_t newColour);

    std::int32_t colour = -1;
    std::int32_t batchIndex = -1;
    std::int32_t row = -1;
    std::int32_t col = -1;
    std::array<Tile*, 6> neighbours{};  // not owned
    bool owned = false;
    std::int32_t mark = 0;
    Emitter* emitter = nullptr;  // held by the board's object list
    // Not owned: the board the cell belongs to, told of its changes in play; null for a cell
    // on no board.
    Board* board = nullptr;
};
