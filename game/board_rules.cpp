// The rules of the board, apart from anything a player sees or hears: the grid and its links,
// the colouring at set-up, and the moves. Nothing here touches SDL or GL, so the rules run the
// same in the game, the headless simulator and the tests.
#include <cmath>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "game/board.h"
#include "game/hex_grid.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "resources/type_ids.h"

namespace {

using hex_grid::black;

bool isStartCell(const Tile* tile) {
    return tile != nullptr && tile->getTypeId() == TypeId::playerStart;
}

}  // namespace

void Tile::placeOnBoard(std::int32_t numRows, std::int32_t numCols) {
    const float root3 = std::sqrt(3.0f);
    const float a = 16.0f / (15.0f * static_cast<float>(numCols) + 5.0f);
    const float b = 4.0f * root3 / (10.0f * static_cast<float>(numRows) + 5.0f);
    const float s = a < b ? a : b;
    float x0;
    float y0;
    if (a < b) {
        x0 = 0.1f;
        y0 = 0.35f - (root3 / 4.0f) * (static_cast<float>(numRows) + 0.5f) * s;
    } else {
        x0 = 0.5f - (3.0f * static_cast<float>(numCols) + 1.0f) * s / 8.0f;
        y0 = 0.05f;
    }
    const float k = col % 2 == 0 ? 0.5f : 1.0f;
    position = Vector(x0 + (3.0f * static_cast<float>(col) + 2.0f) * s / 4.0f,
                      y0 + root3 / 2.0f * (static_cast<float>(row) + k) * s, 0.0f);
    rotation = Rotation(0, 0, 0xC000);
    uniformScale = s / 2.0f;
}

void Board::linkNeighbours() {
    grid_.clear();
    for (Tile* tile : tiles_) {
        grid_[cellKey(tile->row, tile->col)] = tile;
    }
    for (Tile* tile : tiles_) {
        // A tile placed outside the grid, or overwritten by a later one, is nobody's neighbour.
        const bool inGrid = tile->row >= 0 && tile->row < numRows && tile->col >= 0 &&
                            tile->col < numCols && tileAt(tile->row, tile->col) == tile;
        const auto& steps = hex_grid::neighbourSteps(tile->col);
        for (std::size_t direction = 0; direction < 6; ++direction) {
            Tile* neighbour = nullptr;
            if (inGrid) {
                const std::int32_t row = tile->row + steps[direction][0];
                const std::int32_t col = tile->col + steps[direction][1];
                if (row >= 0 && row < numRows && col >= 0 && col < numCols) {
                    neighbour = tileAt(row, col);
                }
            }
            tile->neighbours[direction] = neighbour;
        }
    }
}

void Board::assignColours(double blackShare) {
    // A negative share makes no sense; a share above one draws colours past black, and every
    // such draw counts as black.
    double share = blackShare;
    if (!(share >= 0.0)) {
        share = 0.0;
    }
    if (share > 1.0e6) {
        share = 1.0e6;
    }
    const float range = static_cast<float>(share) + 7.0f;
    for (Tile* tile : tiles_) {
        if (isStartCell(tile) || tile->colour != 0) {
            continue;
        }
        tile->colour = static_cast<std::int32_t>(
            static_cast<float>(platform::random()) * range / 32768.0f + 1.0f);
        if (tile->colour < black) {
            continue;
        }
        tile->colour = black;
        // No black cell within two steps of a start cell.
        bool nearStart = false;
        for (const Tile* neighbour : tile->neighbours) {
            if (neighbour == nullptr) {
                continue;
            }
            nearStart = nearStart || isStartCell(neighbour);
            for (const Tile* second : neighbour->neighbours) {
                nearStart = nearStart || isStartCell(second);
            }
        }
        if (nearStart) {
            tile->colour = 1 + static_cast<std::int32_t>(platform::random() * 7LL / 32768);
        }
    }
}

void Board::fillBlackPockets() {
    for (Tile* tile : tiles_) {
        if (tile->colour == black && tile->mark != black) {
            std::int32_t captured = 0;
            tile->isEnclosed(black, captured);
        }
    }
}

std::vector<Tile*> Board::unreachableCells() const {
    // Territories grow over the links into cells that are not black. A start cell that is no
    // player's (a slot given two) is owned and never moves: a wall like a black cell.
    std::unordered_set<const Tile*> reached;
    std::vector<const Tile*> queue;
    for (const Player& player : players) {
        if (player.active && player.startTile != nullptr &&
            reached.insert(player.startTile).second) {
            queue.push_back(player.startTile);
        }
    }
    // A board on which nobody plays has no game to end: its colours stay as they are.
    if (queue.empty()) {
        return {};
    }
    for (std::size_t i = 0; i < queue.size(); ++i) {
        for (const Tile* neighbour : queue[i]->neighbours) {
            if (neighbour != nullptr && neighbour->colour != black && !isStartCell(neighbour) &&
                reached.insert(neighbour).second) {
                queue.push_back(neighbour);
            }
        }
    }
    std::vector<Tile*> cut;
    for (Tile* tile : tiles_) {
        if (!tile->owned && tile->colour != black && reached.count(tile) == 0) {
            cut.push_back(tile);
        }
    }
    return cut;
}

void Board::fillUnreachableAreas() {
    // Black cells need no taking for the game to end. Should the black cells around such an
    // area ever be captured, the capture takes the area along, black or not.
    for (Tile* tile : unreachableCells()) {
        tile->colour = black;
    }
}

void Board::claimStartAreas() {
    // A start cell given a colour holds the area of that colour around it from the start, as a
    // move would. Left unowned, such a cell would take the mover's every new colour with it and
    // never be taken itself: nobody could ever finish the game.
    for (Player& player : players) {
        PlayerStart* start = player.startTile;
        if (!player.active || start == nullptr || start->colour < 1 || start->colour >= black) {
            continue;
        }
        for (Tile* neighbour : start->neighbours) {
            if (neighbour != nullptr && !neighbour->owned && neighbour->colour == start->colour) {
                player.score += neighbour->claim();
            }
        }
        player.shownScore = player.score;
    }
}

bool Board::isColourFree(std::int32_t colour, bool useTileColour) const {
    for (const Player& player : players) {
        if (!player.active || player.startTile == nullptr) {
            continue;
        }
        const std::int32_t held =
            useTileColour ? player.startTile->colour : player.startTile->playerColour;
        if (held == colour) {
            return false;
        }
    }
    return true;
}

bool Board::isGameOver() const {
    for (const Tile* tile : tiles_) {
        if (!tile->owned && tile->colour != black) {
            return false;
        }
    }
    return true;
}

void Board::clearMarks() {
    for (Tile* tile : tiles_) {
        tile->mark = 0;
    }
}

bool Board::isTurnStartCell(const PlayerStart* cell) const {
    return turnPlayer >= 0 && turnPlayer < numPlayers &&
           players[static_cast<std::size_t>(turnPlayer)].startTile == cell;
}

void Board::moveTerritory(std::int32_t colour) {
    if (currentPlayer < 0 || currentPlayer >= numPlayers) {
        return;
    }
    Player& mover = players[static_cast<std::size_t>(currentPlayer)];
    moveHistory.push_back({currentPlayer, colour});
    if (PlayerStart* start = mover.startTile) {
        mover.score += start->recolour(colour);
        // Stamps left by an earlier walk could hide an enclosed area from the next one, so every
        // capture walk starts from clean stamps.
        std::int32_t captured;
        do {
            clearMarks();
            captured = start->captureEnclosed();
            mover.score += captured;
        } while (captured != 0);
        start->playerColour = colour;
    }
    currentPlayer = (currentPlayer + 1) % numPlayers;
}

void Board::passInactiveSlots() {
    // A board without any active slot has nobody to move.
    for (std::int32_t step = 0; turnPlayer < numPlayers && step < numPlayers &&
                                !players[static_cast<std::size_t>(turnPlayer)].active;
         ++step) {
        currentPlayer = (currentPlayer + 1) % numPlayers;
        turnPlayer = currentPlayer;
    }
}

bool Board::playMove(std::int32_t colour) {
    moveTerritory(colour);
    finishTurn(false);
    return currentPlayer >= numPlayers;
}

void Board::finishTurn(bool announceEnd) {
    if (turnPlayer >= 0 && turnPlayer < numPlayers) {
        Player& mover = players[static_cast<std::size_t>(turnPlayer)];
        mover.shownScore = mover.score;
    }
    if (isGameOver()) {
        currentPlayer = numPlayers;
        if (announceEnd) {
            gameEnded();
        }
        turnPlayer = numPlayers;
    } else {
        turnPlayer = currentPlayer;
    }
}
