// Expert: its move on the bit-set copy against the board's own move, and its choices.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "game/expert_search.h"
#include "game/search_position.h"
#include "game/tile.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

namespace {

std::vector<int> freeColours(const Board& board) {
    std::vector<int> colours;
    for (int colour = 1; colour <= 7; ++colour) {
        if (board.isColourFree(colour, true)) {
            colours.push_back(colour);
        }
    }
    return colours;
}

// Plays `colour` on the board and on Expert's copy; the first difference, or an empty string.
std::string compareMove(Board& board, int colour) {
    SearchPosition copy(board, 3);
    if (!playExpertMove(copy, colour)) {
        return "Expert cannot play the board";
    }
    const int next = board.currentPlayer;
    const bool over = board.playMove(colour);
    board.currentPlayer = over ? 0 : board.currentPlayer;
    const SearchPosition expected(board, 3);
    board.currentPlayer = over ? next : board.currentPlayer;
    return copy.colours != expected.colours           ? "colours"
           : copy.owned != expected.owned             ? "owned cells"
           : copy.scores != expected.scores           ? "scores"
           : copy.startColour != expected.startColour ? "start colours"
                                                      : "";
}

}  // namespace

// Random games on every board, black shares up to one, two to four players: the copy's move takes
// exactly what the board's move takes, black areas and the pockets beside them included.
TEST(Expert, ItsMoveIsTheBoardsMove) {
    const struct {
        const char* board;
        int maxPlayers;
    } boards[] = {{"small.ini", 2}, {"standard.ini", 4}, {"large.ini", 4}};
    int positions = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        for (const auto& file : boards) {
            for (int players = 2; players <= file.maxPlayers; ++players) {
                BoardSetup setup;
                setup.players = players;
                setup.blackShare = seed % 3 == 0 ? 0.01 : seed % 3 == 1 ? 0.3 : 1.0;
                platform::seedRandom(seed);
                auto board = testing_support::setUpDataBoard(
                    std::string(TINTFALL_DATA_DIR) + "/game/Boards/" + file.board, setup);
                for (int move = 0; move < 400 && !board->isGameOver(); ++move, ++positions) {
                    board->passInactiveSlots();
                    const std::vector<int> colours = freeColours(*board);
                    ASSERT_FALSE(colours.empty());
                    const int colour = colours[(seed * 7 + move * 13) % colours.size()];
                    ASSERT_EQ(compareMove(*board, colour), "")
                        << file.board << ", " << players << " players, seed " << seed << ", move "
                        << move;
                }
            }
        }
    }
    EXPECT_GE(positions, 1000);
}

// A pocket of one cell inside a black area that touches the other player: the board's walk takes
// it only when it meets it before the contact, so where it sits decides.
TEST(Expert, ItsMoveIsTheBoardsMoveWhereTheWalksOrderDecides) {
    const std::vector<std::string> rows = {"11######", "11######", "11######",
                                           "11#####b", "11111111", "a1111111"};
    int taken = 0;
    for (int row = 0; row <= 2; ++row) {
        for (int col = 2; col <= 7; ++col) {
            for (int colour : {3, 5}) {
                auto board = setUpBoard(rows, 2);
                board->tileAt(row, col)->colour = 4;
                ASSERT_EQ(compareMove(*board, colour), "") << row << ", " << col;
                taken += board->tileAt(row, col)->owned ? 1 : 0;
            }
        }
    }
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 36);
}

// Expert picks only colours nobody holds, and a search told to stop returns at once.
TEST(Expert, PlaysFreeColoursAndStopsWhenTold) {
    BoardSetup setup;
    platform::seedRandom(5);
    auto board = testing_support::setUpDataBoard(
        std::string(TINTFALL_DATA_DIR) + "/game/Boards/standard.ini", setup);
    std::atomic<bool> abort{false};
    ExpertLimits quick;
    quick.maxDepth = 3;
    for (int move = 0; move < 40 && !board->isGameOver(); ++move) {
        board->passInactiveSlots();
        const int colour = thinkExpert(SearchPosition(*board, 3), abort, quick).colour;
        ASSERT_TRUE(colour >= 1 && colour <= 7 && board->isColourFree(colour, true)) << move;
        board->playMove(colour);
    }
    ExpertLimits unlimited;
    unlimited.softMs = unlimited.hardMs = 1.0e9;
    abort = true;
    EXPECT_GE(thinkExpert(SearchPosition(*board, 3), abort, unlimited).colour, 0);
}
