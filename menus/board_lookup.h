// How the in-game widgets reach the board they show and the player records on it, and how
// controls find their partner widgets by name.
#pragma once

#include <cstdint>
#include <string>

class Board;
class GameBoard;
class HudObject;
class Map;
class StoredObject;
struct Player;

// The board behind a widget: the parent of its menu, or the screen itself when that is a board.
// Null, with a line in the debug log, when there is none.
GameBoard* findHudBoard(const HudObject& widget);

// The number of records that may be read: `numPlayers`, never more than the records that exist.
int boardRecordCount(const Board& board);

// The record of player number `player`: the one at that position if its index matches, else the
// first with that index, else the first record. Null when the board has no records.
Player* findPlayerRecord(Board& board, std::int32_t player);

// True while the record the board shows as being on turn belongs to player number `player`;
// false once the game is over.
bool isPlayersTurn(const Board& board, std::int32_t player);

// The colour held by a record's start cell (`playerColour`) or its tile colour; -1 when the
// record has no start cell.
std::int32_t startPlayerColour(const Player& record);
std::int32_t startTileColour(const Player& record);

// A colour number that indexes the nine-entry colour tables.
bool isTableColour(std::int32_t colour);

// The object named `name` (exact, case-sensitive) in `map`, if it has type id `typeId`;
// anything else of that name counts as absent.
StoredObject* findPartner(Map* map, const std::string& name, std::int32_t typeId);

template <typename T>
T* findPartnerAs(Map* map, const std::string& name, std::int32_t typeId) {
    return static_cast<T*>(findPartner(map, name, typeId));
}
