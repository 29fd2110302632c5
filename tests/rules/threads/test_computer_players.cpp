// The computer players' search: depth, evaluation, first choices, and the worker that runs it
// beside the board's own thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/player_start.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

namespace {

auto cellsOf(const Board& board) {
    std::vector<std::tuple<int, bool, int>> cells;
    for (const Tile* tile : board.tiles()) {
        cells.emplace_back(tile->colour, tile->owned, tile->mark);
    }
    return cells;
}

}  // namespace

TEST(SearchDepth, DifficultyTimesPlayersPlusOneWithinLimits) {
    const int cases[][3] = {{0, 4, 1}, {3, 2, 7}, {3, 4, 13}, {-2, 3, 1}, {1000000000, 4, 64}};
    for (const auto& c : cases) {
        EXPECT_EQ(searchDepth(c[0], c[1]), c[2]) << c[0] << " x " << c[1];
    }
}

TEST(SearchEvaluation, MarginsOfTheLeaderAndOfThoseBehind) {
    auto board = setUpBoard({"a1b2c"}, 3);
    board->players[0].score = 10;
    board->players[1].score = 6;
    board->players[2].score = 4;
    EXPECT_EQ(evaluatePosition(*board), (ScoreVector{0.2f, -0.2f, -0.4f, 0.0f}));
    board->players[2].active = false;
    board->players[1].score = 10;
    EXPECT_EQ(evaluatePosition(*board), (ScoreVector{}));
}

TEST(SearchChoices, TheBestMarginFirstInCandidateOrder) {
    struct Case {
        std::vector<std::string> rows;
        int players;
        int colour;
    } cases[] = {
        // Player 0 (colour 1) gains two cells with 3, one with 2 or 4; 5, 6, 7 gain nothing.
        {{"a33b", "2456"}, 2, 3},
        // Alone on a board every position is worth the same: the first free colour keeps it.
        {{"a34", "567"}, 1, 2},
        // An uncoloured start tries its neighbours' colours first, in link order (NE 6, NW 3).
        {{"3A6"}, 1, 6},
    };
    for (const Case& c : cases) {
        auto board = setUpBoard(c.rows, c.players);
        board->players[0].difficulty = 0;
        EXPECT_EQ(think(board->players[0], *board).colour, c.colour) << c.rows[0];
    }
}

TEST(SearchWorker, CancellingStopsALongSearchAndRestoresTheBoard) {
    BoardSetup setup;
    auto board = testing_support::setUpDataBoard("Boards/standard.ini", setup, 3);
    const auto before = cellsOf(*board);
    Player& mover = board->players[0];
    mover.difficulty = 6;  // 25 plies: far longer than this test waits
    startThinking(mover, *board);
    EXPECT_FALSE(mover.thinkThread->waitFor(50));
    cancelThinking(mover);
    EXPECT_EQ(mover.thinkThread, nullptr);
    EXPECT_EQ(mover.chosenColour.load(), -1);
    EXPECT_EQ(cellsOf(*board), before);
    EXPECT_EQ(board->currentPlayer, 0);
}

TEST(SearchWorker, TheWorkerLeavesItsColourInTheRecord) {
    BoardSetup setup;
    setup.players = 2;
    auto board = testing_support::setUpDataBoard("Boards/small.ini", setup, 4);
    // A link the search's bit sets cannot stand for: the worker searches a copy of the board,
    // which the board's own thread reads meanwhile, as drawing does.
    auto linked = setUpBoard({"a1234", "5b671", "23456"}, 2);
    linked->tileAt(0, 0)->neighbours[Tile::south] = linked->tileAt(2, 4);
    for (Board* searched : {board.get(), linked.get()}) {
        Player& mover = searched->players[0];
        mover.difficulty = 1;
        const auto before = cellsOf(*searched);
        startThinking(mover, *searched);
        EXPECT_EQ(cellsOf(*searched), before);
        ASSERT_TRUE(mover.thinkThread->waitFor(60000));
        EXPECT_EQ(mover.chosenColour.load(), think(mover, *searched).colour);
        EXPECT_GE(mover.chosenColour.load(), 1);
        EXPECT_EQ(mover.lastSearchMoves, think(mover, *searched).simulatedMoves);
    }
}
