// Boards for tests: a board drawn as text (see board_text.h), written to board.ini in the working
// directory, loaded and set up as the game does it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "menus/game_board.h"
#include "support/board_text.h"
#include "support/test_support.h"

namespace testing_support {

inline std::unique_ptr<GameBoard> setUpBoard(const std::vector<std::string>& rows, int players) {
    writeFile("board.ini", boardDescription(rows, players));
    auto board = std::make_unique<GameBoard>();
    board->load("board.ini", true);
    board->additionalSetup();
    return board;
}

}  // namespace testing_support
