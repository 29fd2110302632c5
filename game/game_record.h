// The record of a game: what makes its board again (the description's name, the set-up and the
// random generator's state when the board was made) and the moves played on it. The game writes
// one, as a small ini text, for every game that ends or is left; `tintfall-sim replay` plays it
// again move by move.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/board_setup.h"

class IniFile;

struct GameRecord {
    // The board description as the game named it ("Boards\standard.ini"), and where it was
    // found then (empty when not known).
    std::string board;
    std::string boardPath;
    std::uint32_t seed = 0;
    BoardSetup setup;
    std::vector<PlayedMove> moves;
    // The game ran to its end (else it was left).
    bool finished = false;
    // Every slot's score when the record was made.
    std::vector<std::int32_t> scores;
};

// The record of the game played on `board` so far.
GameRecord recordOf(const Board& board, const std::string& boardName, const std::string& boardPath);

// The record as the text of its file.
std::string formatGameRecord(const GameRecord& record);
// Reads a record from its file's document. False, with what is wrong in `problem`, when the
// document is not a whole record.
bool readGameRecord(const IniFile& ini, GameRecord& record, std::string& problem);

// Writes the record whole (or not at all) as a new file "game-<date>-<time>.txt" in the folder
// "saves" beside the settings. The file's name, or empty (with a line in the debug log) when it
// could not be written.
std::string saveGameRecord(const GameRecord& record);

// Every slot's score before the first move and after each of `moves`, played from `start`.
// It stops early at a move that is not the turn of its slot.
std::vector<std::vector<std::int32_t>> scoresAfterEachMove(const Board& start,
                                                           const std::vector<PlayedMove>& moves);
