// Boards for tests, drawn as text (one string per row, one character per cell) and set up as the
// game does it, with a BoardSetup standing for the player and settings files:
//   '1'..'7'  a plain cell of that colour     '#'  a black cell (colour 8)
//   '.'       a plain cell coloured at random  ' '  no cell
//   'A'..'D'  the start cell of player 0..3, uncoloured; 'a'..'d' the same, coloured 1..4
#pragma once

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "platform/random.h"
#include "resources/ini_file.h"
#include "support/test_support.h"

namespace testing_support {

inline std::string boardDescription(const std::vector<std::string>& rows, int players) {
    std::size_t columns = 0;
    for (const std::string& row : rows)
        columns = std::max(columns, row.size());
    std::ostringstream text;
    text << "[General]\nMapType = Board\nNumRows = " << rows.size() << "\nNumCols = " << columns
         << "\nNumPlayers = " << players << "\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const char cell = rows[r][c];
            if (cell != ' ')
                text << "[cell_" << r << "_" << c << "]\nRow = " << r << "\nCol = " << c << "\n";
            if (cell >= 'A' && cell <= 'D')
                text << "Type = PlayerStart\nPlayer = " << cell - 'A' << "\n";
            else if (cell >= 'a' && cell <= 'd')
                text << "Type = PlayerStart\nPlayer = " << cell - 'a'
                     << "\nColour = " << cell - 'a' + 1 << "\n";
            else if (cell == '#' || (cell >= '1' && cell <= '7'))
                text << "Colour = " << (cell == '#' ? 8 : cell - '0') << "\n";
        }
    }
    return text.str();
}

// Reads the description and sets the board up.
inline std::unique_ptr<Board> setUpBoard(const std::string& description,
                                         const BoardSetup& setup = {}) {
    std::istringstream text(description);
    IniFile ini("board.ini", text);
    auto board = std::make_unique<Board>();
    board->loadDescription(ini, setup);
    board->setUp(setup);
    return board;
}

inline std::unique_ptr<Board> setUpBoard(const std::vector<std::string>& rows, int players,
                                         const BoardSetup& setup = {}) {
    return setUpBoard(boardDescription(rows, players), setup);
}

// A board of the game's data (a name under data/game), its colours drawn from `seed`.
inline std::unique_ptr<Board> setUpDataBoard(const std::string& name, BoardSetup setup,
                                             unsigned seed) {
    platform::seedRandom(seed);
    return setUpBoard(readFile(std::string(TINTFALL_DATA_DIR) + "/game/" + name), setup);
}

}  // namespace testing_support
