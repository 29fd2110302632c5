// tintfall-boards: writes the game's board descriptions. Every board keeps within the part of
// the screen that a 16:9 window still shows (wide rather than tall), and boards with four start
// cells put players 0 and 2 in opposite corners, since a two-player game uses those two slots.
//
//   tintfall-boards GAME_FOLDER     writes map.ini (the menus' background board) and
//                                   Boards/small.ini, Boards/standard.ini, Boards/large.ini
#include <cmath>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Start {
    int row;
    int col;
    int player;
};

struct Board {
    std::string title;
    int rows;
    int cols;
    int players;
    std::vector<Start> starts;
    // Cells left out, and cells that start black, as predicates over (row, col).
    bool (*hole)(int rows, int cols, int row, int col);
    bool (*wall)(int rows, int cols, int row, int col);
};

bool noCell(int, int, int, int) {
    return false;
}

// Four round lakes, one in each quarter.
bool lakes(int rows, int cols, int row, int col) {
    const double centres[4][2] = {{rows * 0.3, cols * 0.25},
                                  {rows * 0.3, cols * 0.75},
                                  {rows * 0.7, cols * 0.25},
                                  {rows * 0.7, cols * 0.75}};
    for (const auto& centre : centres) {
        const double dr = (row - centre[0]) / 1.6;
        const double dc = (col - centre[1]) / 2.2;
        if (dr * dr + dc * dc < 1.0) {
            return true;
        }
    }
    return false;
}

// A broken cross of black walls through the middle.
bool cross(int rows, int cols, int row, int col) {
    const int midRow = rows / 2;
    const int midCol = cols / 2;
    const bool across = row == midRow && std::abs(col - midCol) >= 3 &&
                        std::abs(col - midCol) <= 9 && std::abs(col - midCol) % 4 != 0;
    const bool down = col == midCol && std::abs(row - midRow) >= 2 && std::abs(row - midRow) <= 4;
    return across || down;
}

bool save(const std::string& path, const Board& board) {
    std::ofstream out(path, std::ios::trunc);
    out << "; " << board.title << " - made by tintfall-boards\n";
    out << "[General]\nMapType = \"Board\"\nNumRows = \"" << board.rows << "\"\nNumCols = \""
        << board.cols << "\"\nNumPlayers = \"" << board.players << "\"\n";
    for (int row = 0; row < board.rows; ++row) {
        for (int col = 0; col < board.cols; ++col) {
            const Start* start = nullptr;
            for (const Start& s : board.starts) {
                if (s.row == row && s.col == col) {
                    start = &s;
                }
            }
            if (start == nullptr && board.hole(board.rows, board.cols, row, col)) {
                continue;
            }
            out << "[r" << row << "c" << col << "]\nRow = \"" << row << "\"\nCol = \"" << col
                << "\"\n";
            if (start != nullptr) {
                out << "Type = \"PlayerStart\"\nPlayer = \"" << start->player << "\"\n";
            } else if (board.wall(board.rows, board.cols, row, col)) {
                out << "Colour = \"8\"\n";
            }
        }
    }
    out.close();
    if (!out) {
        std::cerr << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

std::vector<Start> corners(int rows, int cols) {
    return {{0, 0, 0}, {0, cols - 1, 1}, {rows - 1, cols - 1, 2}, {rows - 1, 0, 3}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tintfall-boards GAME_FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const Board background{"the board behind the menus", 9, 22, 4, corners(9, 22), noCell, noCell};
    const Board small{"a small board for two", 6, 16, 2, {{0, 0, 0}, {5, 15, 1}}, noCell, noCell};
    const Board standard{
        "the standard board for up to four", 9, 22, 4, corners(9, 22), noCell, noCell};
    const Board large{
        "a large board with lakes and walls", 13, 30, 4, corners(13, 30), lakes, cross};
    const bool ok = save(folder + "/map.ini", background) &&
                    save(folder + "/Boards/small.ini", small) &&
                    save(folder + "/Boards/standard.ini", standard) &&
                    save(folder + "/Boards/large.ini", large);
    return ok ? 0 : 1;
}
