// Expert: its move on the bit-set copy against the board's own move, and its choices.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "game/expert_search.h"
#include "game/search_position.h"
#include "game/tile.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

// Plays `colour` on the board and on Expert's copy; the first difference, or an empty string.
static std::string compareMove(Board& board, int colour) {
    SearchPosition copy(board, 3);
    if (!playExpertMove(copy, colour))
        return "Expert cannot play the board";
    const bool over = board.playMove(colour);
    const int after = board.currentPlayer;
    // A finished game has nobody to move; the copy needs someone.
    board.currentPlayer = over ? 0 : after;
    const SearchPosition expected(board, 3);
    board.currentPlayer = after;
    return copy.colours != expected.colours           ? "colours"
           : copy.owned != expected.owned             ? "owned cells"
           : copy.scores != expected.scores           ? "scores"
           : copy.startColour != expected.startColour ? "start colours"
                                                      : "";
}

// Games on every board, black shares up to one, two to four players, of random colours and
// every eighth move Expert's own choice, which must be a colour nobody holds: the copy's move
// takes exactly what the board's move takes, black areas and the pockets beside them included.
TEST(Expert, PlaysFreeColoursAndItsMoveIsTheBoardsMove) {
    const std::pair<std::string, int> boards[] = {
        {"small.ini", 2}, {"standard.ini", 4}, {"large.ini", 4}};
    const std::atomic<bool> never{false};
    ExpertLimits quick;
    quick.maxDepth = 2;
    int positions = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        for (const auto& [file, maxPlayers] : boards) {
            for (int players = 2; players <= maxPlayers; ++players) {
                BoardSetup setup;
                setup.players = players;
                setup.blackShare = seed % 3 == 0 ? 0.01 : seed % 3 == 1 ? 0.3 : 1.0;
                auto board = testing_support::setUpDataBoard("Boards/" + file, setup, seed);
                for (int move = 0; move < 400 && !board->isGameOver(); ++move, ++positions) {
                    board->passInactiveSlots();
                    std::vector<int> colours;
                    for (int colour = 1; colour <= 7; ++colour)
                        if (board->isColourFree(colour, true))
                            colours.push_back(colour);
                    const int colour =
                        move % 8 == 7 ? thinkExpert(SearchPosition(*board, 3), never, quick).colour
                                      : colours.at((seed * 7 + move * 13) % colours.size());
                    const std::string where = file + ", " + std::to_string(players) +
                                              " players, seed " + std::to_string(seed) + ", move " +
                                              std::to_string(move);
                    ASSERT_TRUE(board->isColourFree(colour, true)) << where;
                    ASSERT_EQ(compareMove(*board, colour), "") << where;
                }
            }
        }
    }
    EXPECT_GE(positions, 1000);
}

// A pocket of one cell inside a black area that touches the other player: the board's walk takes
// it only when it meets it before the contact, so where it sits decides.
TEST(Expert, ItsMoveIsTheBoardsMoveWhereTheWalksOrderDecides) {
    int taken = 0;
    for (int cell = 0; cell < 36; ++cell) {
        auto board =
            setUpBoard({"11######", "11######", "11######", "11#####b", "11111111", "a1111111"}, 2);
        Tile* pocket = board->tileAt(cell / 12, 2 + cell % 12 / 2);
        pocket->colour = 4;
        ASSERT_EQ(compareMove(*board, cell % 2 == 0 ? 3 : 5), "") << cell;
        taken += pocket->owned;
    }
    EXPECT_TRUE(taken > 0 && taken < 36) << taken;
}

// A search told to stop returns at once, however long it was given.
TEST(Expert, StopsWhenTold) {
    const std::atomic<bool> abort{true};
    ExpertLimits unlimited;
    unlimited.softMs = unlimited.hardMs = 1.0e9;
    auto board = testing_support::setUpDataBoard("Boards/large.ini", BoardSetup{}, 5);
    EXPECT_GE(thinkExpert(SearchPosition(*board, 3), abort, unlimited).colour, 0);
}
