// The computer players' search: depth, first choices, and the worker thread that runs it beside
// the board's own thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/worker_thread.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

static auto cellsOf(const Board& board) {
    std::vector<std::tuple<int, bool, int>> cells;
    for (const Tile* tile : board.tiles())
        cells.emplace_back(tile->colour, tile->owned, tile->mark);
    return cells;
}

TEST(SearchDepth, DifficultyTimesPlayersPlusOneWithinLimits) {
    const int cases[][3] = {{0, 4, 1}, {3, 2, 7}, {3, 4, 13}, {-2, 3, 1}, {1000000000, 4, 64}};
    for (const auto& c : cases)
        EXPECT_EQ(searchDepth(c[0], c[1]), c[2]) << c[0] << " x " << c[1];
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
    EXPECT_TRUE(mover.thinkThread == nullptr && mover.chosenColour == -1);
    EXPECT_TRUE(cellsOf(*board) == before && board->currentPlayer == 0);
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
        const SearchResult direct = think(mover, *searched);
        EXPECT_GE(direct.colour, 1);
        EXPECT_EQ(std::make_pair(mover.chosenColour.load(), mover.lastSearchMoves),
                  std::make_pair(direct.colour, direct.simulatedMoves));
    }
}

TEST(WorkerThread, RunsOneWorkAtATimeWaitsWithALimitAndRunsAgain) {
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    {
        platform::WorkerThread worker;
        EXPECT_TRUE(worker.waitFor(0));  // nothing started: nothing to wait for
        ASSERT_TRUE(worker.start([&] {
            while (!release.load())
                std::this_thread::yield();
        }));
        EXPECT_FALSE(worker.start([] {}));  // one work at a time
        EXPECT_FALSE(worker.waitFor(30));   // the limit is honoured while the work goes on
        EXPECT_TRUE(worker.isRunning());
        release = true;
        EXPECT_TRUE(worker.waitFor(10000));
        EXPECT_FALSE(worker.isRunning());
        // The same worker runs again; its destructor waits for unfinished work.
        ASSERT_TRUE(worker.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        }));
    }
    EXPECT_TRUE(finished.load());
}
