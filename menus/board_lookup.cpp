#include "menus/board_lookup.h"

#include <algorithm>

#include "game/player_start.h"
#include "menus/game_board.h"
#include "menus/hud_object.h"
#include "menus/menu.h"
#include "platform/debug_log.h"
#include "render/player_colours.h"
#include "resources/map.h"

GameBoard* findHudBoard(const HudObject& widget) {
    Map* map = widget.owningMap();
    if (map != nullptr && map->isMenu()) {
        Map* parent = static_cast<Menu*>(map)->parent;
        if (parent != nullptr && parent->isGameBoard()) {
            return static_cast<GameBoard*>(parent);
        }
        logText("Error: PlayerScoreText attached to non HUD menu.\n");
        return nullptr;
    }
    if (map != nullptr && map->isGameBoard()) {
        return static_cast<GameBoard*>(map);
    }
    logText("Error: PlayerScoreText: Unrecognised owner type\n");
    return nullptr;
}

int boardRecordCount(const Board& board) {
    const auto records = static_cast<std::int64_t>(board.players.size());
    return static_cast<int>(std::clamp<std::int64_t>(board.numPlayers, 0, records));
}

Player* findPlayerRecord(Board& board, std::int32_t player) {
    const int count = boardRecordCount(board);
    if (count == 0) {
        return nullptr;
    }
    if (player >= 0 && player < count &&
        board.players[static_cast<std::size_t>(player)].index == player) {
        return &board.players[static_cast<std::size_t>(player)];
    }
    for (int i = 0; i < count; ++i) {
        if (board.players[static_cast<std::size_t>(i)].index == player) {
            return &board.players[static_cast<std::size_t>(i)];
        }
    }
    // A number the board has no slot for (the HUD's third and fourth players on a board for
    // two) shows nothing rather than somebody else's score.
    return nullptr;
}

bool isPlayersTurn(const Board& board, std::int32_t player) {
    // After the last move turnPlayer equals numPlayers and points past the records.
    const std::int32_t turn = board.turnPlayer;
    return turn >= 0 && turn < boardRecordCount(board) &&
           board.players[static_cast<std::size_t>(turn)].index == player;
}

std::int32_t startPlayerColour(const Player& record) {
    return record.startTile != nullptr ? record.startTile->playerColour : -1;
}

std::int32_t startTileColour(const Player& record) {
    return record.startTile != nullptr ? record.startTile->colour : -1;
}

bool isTableColour(std::int32_t colour) {
    return colour >= 0 && colour < playerColourCount;
}

StoredObject* findPartner(Map* map, const std::string& name, std::int32_t typeId) {
    if (map == nullptr) {
        return nullptr;
    }
    StoredObject* object = map->getObject(name);
    return object != nullptr && object->getTypeId() == typeId ? object : nullptr;
}
