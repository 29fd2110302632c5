// A board's making: reading its description, setting it up, and copying it for a search. The
// moves and the set-up steps themselves are in board_rules.cpp.
#include "game/board.h"

#include <algorithm>
#include <cstdint>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "resources/ini_file.h"
#include "resources/type_ids.h"

Board::Board() = default;

Board::~Board() {
    cancelAllThinking();
}

Tile* Board::tileAt(std::int32_t row, std::int32_t col) const {
    const auto found = grid_.find(cellKey(row, col));
    return found != grid_.end() ? found->second : nullptr;
}

Tile* Board::keepTile(std::unique_ptr<Tile> tile) {
    ownedTiles_.push_back(std::move(tile));
    return ownedTiles_.back().get();
}

int Board::objectTotal() const {
    return copiedTotal_ >= 0 ? copiedTotal_ : static_cast<int>(tiles_.size());
}

bool Board::loadDescription(IniFile& ini, const BoardSetup& setup) {
    // The description draws the colours it leaves to chance: a replay starts from here.
    setupSeed = platform::randomState();
    // The board takes its size only once it is known to be sound, so that a failed description
    // never leaves player counts without player records.
    const std::int32_t rows = ini.getInt("General", "NumRows", 0);
    const std::int32_t cols = ini.getInt("General", "NumCols", 0);
    const std::int32_t slots = ini.getInt("General", "NumPlayers", 0);
    if (rows < 1 || cols < 1) {
        logText("GameBoard: invalid board size\n");
        return false;
    }
    if (slots < 1) {
        logText("More players required\n");
        return false;
    }
    // The computer players' search scores at most four players.
    if (slots > BoardSetup::slotCount) {
        logText("GameBoard: at most 4 players, the board asks for ");
        logInt(slots);
        logText("\n");
        return false;
    }
    numRows = rows;
    numCols = cols;
    numPlayers = slots;

    const std::int32_t chosen = setup.players;
    players.clear();
    players.resize(static_cast<std::size_t>(numPlayers));
    for (std::int32_t i = 0; i < numPlayers; ++i) {
        players[static_cast<std::size_t>(i)].index = i;
    }
    if (numPlayers > chosen && chosen >= 2) {
        players[1].active = false;
        if (numPlayers - chosen >= 2 && numPlayers > 3) {
            players[3].active = false;
        }
    }

    // The running place is kept wide: a cell given at the largest row or column moves it past
    // what a cell's row or column can hold.
    std::int64_t nextRow = 0;
    std::int64_t nextCol = 0;
    for (int section = 0; section < ini.sectionCount(); ++section) {
        if (platform::namesEqualIgnoringCase(ini.sectionName(section), "General")) {
            continue;
        }
        std::unique_ptr<Tile> tile;
        if (platform::namesEqualIgnoringCase(ini.getString(section, "Type", ""), "PlayerStart")) {
            const std::int32_t player = ini.getInt(section, "Player", -1);
            if (player < 0 || player >= numPlayers) {
                logText("Invalid player index: ");
                logInt(player);
                logText("\n");
                return false;
            }
            Player& slot = players[static_cast<std::size_t>(player)];
            if (slot.active) {
                auto start = std::make_unique<PlayerStart>();
                slot.startTile = start.get();
                tile = std::move(start);
            }
        }
        if (!tile) {
            tile = std::make_unique<Tile>();
        }
        tile->colour = ini.getInt(section, "Colour", 0);
        if (tile->colour < 0) {
            tile->colour = 1 + static_cast<std::int32_t>(platform::random() * 7LL / 32768);
        }
        if (tile->getTypeId() == TypeId::playerStart) {
            static_cast<PlayerStart*>(tile.get())->playerColour = tile->colour;
        }
        const std::int32_t row = ini.getInt(section, "Row", -1);
        const std::int32_t col = ini.getInt(section, "Col", -1);
        if (row != -1 && col != -1) {
            nextRow = row;
            nextCol = col;
        }
        // Past the largest row the place stays there, which is outside every grid all the same.
        tile->row = static_cast<std::int32_t>(std::min<std::int64_t>(nextRow, INT32_MAX));
        tile->col = static_cast<std::int32_t>(nextCol);
        nextCol += 1;
        if (nextCol >= numCols) {
            nextRow += 1;
            nextCol = 0;
        }
        tile->placeOnBoard(numRows, numCols);
        // Tiles built from a description are never written back.
        tile->releaseRegistry();
        tile->setName(objectNameOfSection(ini.sectionName(section)));
        tile->board = this;
        tiles_.push_back(keepTile(std::move(tile)));
    }
    return true;
}

void Board::setUp(const BoardSetup& setup) {
    setupUsed = setup;
    moveHistory.clear();
    currentPlayer = turnPlayer = 0;
    linkNeighbours();
    assignColours(setup.blackShare);
    readPlayerSettings(setup);
    fillBlackPockets();
    for (Tile* tile : tiles_) {
        if (tile->getTypeId() != TypeId::playerStart && tile->owned) {
            tile->owned = false;
        }
    }
    // The walk above misses areas walled in without black cells (holes and the edge alone) and
    // pockets it meets after a black area's contact with a start cell's area.
    fillUnreachableAreas();
    claimStartAreas();
    startPosition_ = copyForSearch();
}

void Board::readPlayerSettings(const BoardSetup& setup) {
    for (std::size_t i = 0; i < players.size() && i < setup.slots.size(); ++i) {
        players[i].isHuman = setup.slots[i].isHuman;
        players[i].difficulty = setup.slots[i].difficulty;
        players[i].expert = setup.slots[i].expert;
    }
    int activeSlots = 0;
    for (const Player& player : players) {
        activeSlots += player.active ? 1 : 0;
    }
    // With two players on a larger board the second one moves into slot 1, where the HUD
    // shows the second player.
    if (activeSlots == 2 && numPlayers >= 3) {
        std::swap(players[1], players[2]);
    }
    // A slot the description gave no start cell takes no turn and holds no colour.
    for (Player& player : players) {
        if (player.startTile == nullptr) {
            player.active = false;
        }
    }
    if (setup.randomFirstPlayer && numPlayers > 0) {
        currentPlayer = turnPlayer =
            static_cast<std::int32_t>(platform::random() * 1LL * numPlayers / 32768);
    }
}

void Board::cancelAllThinking() {
    for (Player& player : players) {
        cancelThinking(player);
    }
}

std::unique_ptr<Board> Board::copyForSearch() const {
    auto copy = std::make_unique<Board>();
    copy->numRows = numRows;
    copy->numCols = numCols;
    copy->numPlayers = numPlayers;
    copy->currentPlayer = currentPlayer;
    copy->turnPlayer = turnPlayer;
    copy->copiedTotal_ = objectTotal();
    std::unordered_map<const Tile*, Tile*> copies;
    for (const Tile* tile : tiles_) {
        std::unique_ptr<Tile> cell;
        if (tile->getTypeId() == TypeId::playerStart) {
            auto start = std::make_unique<PlayerStart>(false);
            start->playerColour = static_cast<const PlayerStart*>(tile)->playerColour;
            cell = std::move(start);
        } else {
            cell = std::make_unique<Tile>(false);
        }
        cell->colour = tile->colour;
        cell->row = tile->row;
        cell->col = tile->col;
        cell->owned = tile->owned;
        cell->mark = tile->mark;
        cell->board = copy.get();
        Tile* kept = copy->keepTile(std::move(cell));
        copies[tile] = kept;
        copy->tiles_.push_back(kept);
    }
    for (const Tile* tile : tiles_) {
        for (std::size_t direction = 0; direction < tile->neighbours.size(); ++direction) {
            const Tile* neighbour = tile->neighbours[direction];
            copies[tile]->neighbours[direction] =
                neighbour != nullptr ? copies[neighbour] : nullptr;
        }
    }
    for (const auto& [key, tile] : grid_) {
        copy->grid_[key] = copies[tile];
    }
    copy->players.resize(players.size());
    for (std::size_t i = 0; i < players.size(); ++i) {
        const Player& from = players[i];
        Player& to = copy->players[i];
        to.score = from.score;
        to.shownScore = from.shownScore;
        to.isHuman = from.isHuman;
        to.index = from.index;
        to.difficulty = from.difficulty;
        to.active = from.active;
        to.startTile =
            from.startTile != nullptr ? static_cast<PlayerStart*>(copies[from.startTile]) : nullptr;
    }
    return copy;
}
