// Board descriptions for tests, drawn as text: one string per row, one character per cell.
//   '1'..'7'  a plain cell of that colour     '#'  a black cell (colour 8)
//   '.'       a plain cell coloured at random  ' '  no cell
//   'A'..'D'  the start cell of player 0..3, uncoloured; 'a'..'d' the same, coloured 1..4
#pragma once

#include <string>
#include <vector>

namespace testing_support {

inline std::string boardDescription(const std::vector<std::string>& rows, int players) {
    std::size_t columns = 0;
    for (const std::string& row : rows) {
        columns = row.size() > columns ? row.size() : columns;
    }
    std::string text = "[General]\nMapType = Board\nNumRows = " + std::to_string(rows.size()) +
                       "\nNumCols = " + std::to_string(columns) +
                       "\nNumPlayers = " + std::to_string(players) + "\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const char cell = rows[r][c];
            if (cell == ' ') {
                continue;
            }
            text += "[cell_" + std::to_string(r) + "_" + std::to_string(c) + "]\n";
            text += "Row = " + std::to_string(r) + "\nCol = " + std::to_string(c) + "\n";
            if (cell >= 'A' && cell <= 'D') {
                text += "Type = PlayerStart\nPlayer = " + std::to_string(cell - 'A') + "\n";
            } else if (cell >= 'a' && cell <= 'd') {
                text += "Type = PlayerStart\nPlayer = " + std::to_string(cell - 'a') +
                        "\nColour = " + std::to_string(cell - 'a' + 1) + "\n";
            } else if (cell == '#') {
                text += "Colour = 8\n";
            } else if (cell >= '1' && cell <= '7') {
                text += "Colour = " + std::string(1, cell) + "\n";
            }
        }
    }
    return text;
}

}  // namespace testing_support
