#include "game/search_position.h"

#include "game/board.h"
#include "game/hex_grid.h"
#include "game/player_start.h"

namespace {

void setBit(std::vector<std::uint64_t>& set, std::size_t offset, int bit) {
    set[offset + static_cast<std::size_t>(bit) / 64] |= std::uint64_t{1}
                                                        << (static_cast<unsigned>(bit) % 64);
}

}  // namespace

SearchPosition::SearchPosition(const Board& board, std::int32_t searchDifficulty)
    : difficulty(searchDifficulty) {
    const std::vector<Tile*>& tiles = board.tiles();
    if (board.players.size() > static_cast<std::size_t>(maxSlots) || board.numPlayers < 1 ||
        board.players.size() != static_cast<std::size_t>(board.numPlayers) ||
        board.currentPlayer < 0 || board.currentPlayer >= board.numPlayers) {
        return;
    }
    auto inBoard = [&board](std::int64_t row, std::int64_t col) {
        return row >= 0 && row < board.numRows && col >= 0 && col < board.numCols;
    };
    // The rows and columns the board's cells span.
    std::int64_t minRow = 0;
    std::int64_t maxRow = -1;
    std::int64_t minCol = 0;
    std::int64_t maxCol = -1;
    for (const Tile* tile : tiles) {
        if (!inBoard(tile->row, tile->col)) {
            continue;
        }
        if (maxRow < minRow) {
            minRow = maxRow = tile->row;
            minCol = maxCol = tile->col;
        }
        minRow = tile->row < minRow ? tile->row : minRow;
        maxRow = tile->row > maxRow ? tile->row : maxRow;
        minCol = tile->col < minCol ? tile->col : minCol;
        maxCol = tile->col > maxCol ? tile->col : maxCol;
    }
    // Columns keep their parity, so the first one is even.
    minCol -= minCol % 2;
    const std::int64_t width = maxRow < minRow ? 1 : maxCol - minCol + 2;
    const std::int64_t gridRows = maxRow < minRow ? 0 : maxRow - minRow + 1;
    const std::int64_t gridBits = gridRows * width;
    if (gridBits + static_cast<std::int64_t>(tiles.size()) > std::int64_t{64} * maxWords) {
        return;
    }
    auto place = [&](std::int64_t row, std::int64_t col) {
        return static_cast<int>((row - minRow) * width + (col - minCol));
    };
    // Which tile the board links at each place: the last one placed there.
    std::vector<const Tile*> grid(static_cast<std::size_t>(gridBits), nullptr);
    for (const Tile* tile : tiles) {
        if (inBoard(tile->row, tile->col)) {
            grid[static_cast<std::size_t>(place(tile->row, tile->col))] = tile;
        }
    }
    auto inGrid = [&](const Tile* tile) {
        return inBoard(tile->row, tile->col) &&
               grid[static_cast<std::size_t>(place(tile->row, tile->col))] == tile;
    };
    std::vector<int> bitOf;
    bitOf.reserve(tiles.size());
    int nextOffGrid = static_cast<int>(gridBits);
    for (const Tile* tile : tiles) {
        bitOf.push_back(inGrid(tile) ? place(tile->row, tile->col) : nextOffGrid++);
    }
    words = 2;
    while (64 * words < nextOffGrid) {
        words *= 2;
    }
    stride = static_cast<int>(width);
    strideWords = stride / 64;
    strideBits = stride % 64;
    const std::size_t n = static_cast<std::size_t>(words);
    evenColumns.assign(n, 0);
    gridCells.assign(n, 0);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (bitOf[i] < gridBits) {
            setBit(gridCells, 0, bitOf[i]);
        }
    }
    for (std::int64_t row = 0; row < gridRows; ++row) {
        for (std::int64_t col = 0; col + 1 < width; col += 2) {
            setBit(evenColumns, 0, static_cast<int>(row * width + col));
        }
    }
    // The shifts stand for the board's links only if every link is the grid's.
    for (const Tile* tile : tiles) {
        const bool linked = inGrid(tile);
        const auto& steps = hex_grid::neighbourSteps(tile->col);
        for (int direction = 0; direction < 6; ++direction) {
            const Tile* expected = nullptr;
            if (linked) {
                const std::int64_t row = tile->row + steps[direction][0];
                const std::int64_t col = tile->col + steps[direction][1];
                if (inBoard(row, col) && row >= minRow && row <= maxRow && col >= minCol &&
                    col <= maxCol) {
                    expected = grid[static_cast<std::size_t>(place(row, col))];
                }
            }
            if (tile->neighbours[static_cast<std::size_t>(direction)] != expected) {
                return;
            }
        }
    }
    // A linked tile's bit is its place on the grid.
    auto linkedBit = [&](const Tile* tile) { return place(tile->row, tile->col); };

    colourValues.clear();
    for (int colour = 0; colour < paletteColours; ++colour) {
        colourValues.push_back(colour);
    }
    auto colourIndex = [this](std::int32_t value) {
        if (value >= 0 && value < paletteColours) {
            return static_cast<int>(value);
        }
        for (std::size_t i = paletteColours; i < colourValues.size(); ++i) {
            if (colourValues[i] == value) {
                return static_cast<int>(i);
            }
        }
        colourValues.push_back(value);
        return static_cast<int>(colourValues.size() - 1);
    };
    std::vector<int> tileColour;
    tileColour.reserve(tiles.size());
    for (const Tile* tile : tiles) {
        tileColour.push_back(colourIndex(tile->colour));
    }
    colours.assign(colourValues.size() * n, 0);
    owned.assign(n, 0);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int bit = bitOf[i];
        setBit(colours, static_cast<std::size_t>(tileColour[i]) * n, bit);
        if (tiles[i]->owned) {
            setBit(owned, 0, bit);
        }
    }

    slots = static_cast<int>(board.players.size());
    numPlayers = board.numPlayers;
    currentPlayer = board.currentPlayer;
    worst = -static_cast<float>(board.objectTotal());
    territories.assign(static_cast<std::size_t>(maxSlots) * n, 0);
    for (int slot = 0; slot < maxSlots; ++slot) {
        const std::size_t s = static_cast<std::size_t>(slot);
        startBit[s] = -1;
        startNeighbours[s].fill(-1);
        levels[s] = -1;
        if (slot >= slots) {
            continue;
        }
        const Player& player = board.players[s];
        activePlayers += player.active ? 1 : 0;
        scores[s] = player.score;
        if (player.active && player.score < 0) {
            return;  // the search's evaluation counts on no score being below 0
        }
        active[s] = player.active;
        levels[s] = player.isHuman || player.expert ? -1 : player.difficulty;
        const Tile* start = player.startTile;
        if (start == nullptr) {
            continue;
        }
        std::size_t index = 0;
        while (index < tiles.size() && tiles[index] != start) {
            ++index;
        }
        if (index == tiles.size()) {
            return;  // a start cell the board does not hold
        }
        startBit[s] = bitOf[index];
        startOffGrid[s] = bitOf[index] >= gridBits;
        startColour[s] = colourIndex(start->colour);
        for (std::size_t direction = 0; direction < 6; ++direction) {
            const Tile* neighbour = start->neighbours[direction];
            startNeighbours[s][direction] = neighbour == nullptr ? -1 : linkedBit(neighbour);
        }
        // The search grows territories from what it knows of them; the start cell alone is
        // always a sound beginning.
        setBit(territories, s * n, startBit[s]);
    }
    // New colours may have joined while reading the start cells: their sets stay empty.
    colours.resize(colourValues.size() * n, 0);
    usable_ = true;
}
