// Boards for tests: a description (drawn as text, see board_text.h), read and set up as the game
// does it with a BoardSetup standing for the player and settings files.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "resources/ini_file.h"
#include "support/board_text.h"
#include "support/test_support.h"

namespace testing_support {

inline std::unique_ptr<Board> setUpBoard(const std::string& description,
                                         const BoardSetup& setup = {}, bool setUp = true) {
    std::istringstream text(description);
    IniFile ini("board.ini", text);
    auto board = std::make_unique<Board>();
    board->loadDescription(ini, setup);
    if (setUp) {
        board->setUp(setup);
    }
    return board;
}

inline std::unique_ptr<Board> setUpBoard(const std::vector<std::string>& rows, int players,
                                         const BoardSetup& setup = {}) {
    return setUpBoard(boardDescription(rows, players), setup);
}

// A board of the game's data, by file name.
inline std::unique_ptr<Board> setUpDataBoard(const std::string& path, const BoardSetup& setup) {
    return setUpBoard(readFile(path), setup);
}

}  // namespace testing_support
