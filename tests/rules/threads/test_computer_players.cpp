// What runs beside the board's own thread: the computer players' search on its worker (depth,
// cancelling, the colour it leaves), the worker itself, and the debug log both write to.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/debug_log.h"
#include "platform/worker_thread.h"
#include "support/test_boards.h"

static auto cellsOf(const Board& board) {
    std::vector<std::tuple<int, bool, int>> cells;
    for (const Tile* tile : board.tiles())
        cells.emplace_back(tile->colour, tile->owned, tile->mark);
    return cells;
}

TEST(SearchWorker, DepthCancellingAndTheColourAFinishedWorkerLeaves) {
    // The depth: difficulty times players, plus one, within limits.
    const int cases[][3] = {{0, 4, 1}, {3, 2, 7}, {3, 4, 13}, {-2, 3, 1}, {1000000000, 4, 64}};
    for (const auto& c : cases)
        EXPECT_EQ(searchDepth(c[0], c[1]), c[2]) << c[0] << " x " << c[1];
    auto board = testing_support::setUpDataBoard("Boards/standard.ini", {}, 3);
    const auto before = cellsOf(*board);
    Player& mover = board->players[0];
    mover.difficulty = 6;  // 25 plies: far longer than this test waits
    startThinking(mover, *board);
    EXPECT_FALSE(mover.thinkThread->waitFor(50));
    cancelThinking(mover);
    EXPECT_TRUE(mover.thinkThread == nullptr && mover.chosenColour == -1);
    EXPECT_TRUE(cellsOf(*board) == before && board->currentPlayer == 0);
    // A link the search's bit sets cannot stand for: the worker searches a copy of the board,
    // which the board's own thread reads meanwhile, as drawing does.
    auto linked = testing_support::setUpBoard({"a1234", "5b671", "23456"}, 2);
    linked->tileAt(0, 0)->neighbours[Tile::south] = linked->tileAt(2, 4);
    for (Board* searched : {board.get(), linked.get()}) {
        Player& player = searched->players[0];
        player.difficulty = 1;
        const auto start = cellsOf(*searched);
        startThinking(player, *searched);
        EXPECT_EQ(cellsOf(*searched), start);
        ASSERT_TRUE(player.thinkThread->waitFor(60000));
        const SearchResult direct = think(player, *searched);
        EXPECT_EQ(std::make_tuple(player.chosenColour.load(), player.lastSearchMoves, true),
                  std::make_tuple(direct.colour, direct.simulatedMoves, direct.colour >= 1));
    }
}

TEST(WorkerThread, RunsOneWorkAtATimeWaitsWithALimitAndRunsAgain) {
    std::atomic<bool> release{false}, finished{false};
    {
        platform::WorkerThread worker;
        EXPECT_TRUE(worker.waitFor(0));  // nothing started: nothing to wait for
        ASSERT_TRUE(worker.start([&] {
            while (!release.load())
                std::this_thread::yield();
        }));
        // One work at a time; the limit is honoured while the work goes on.
        EXPECT_TRUE(!worker.start([] {}) && !worker.waitFor(30) && worker.isRunning());
        release = true;
        EXPECT_TRUE(worker.waitFor(10000) && !worker.isRunning());
        // The same worker runs again; its destructor waits for unfinished work.
        ASSERT_TRUE(worker.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        }));
    }
    EXPECT_TRUE(finished.load());
}

TEST(DebugLog, PiecesFromTwoThreadsNeverInterleave) {
    testing_support::LogCapture capture;
    auto writer = [](char letter, bool stream) {
        for (int i = 0; i < 200; ++i)
            stream ? void(debugLog << std::string(300, letter) << lineFeed)
                   : logString(std::string(300, letter) + "\n");
    };
    std::thread worker(writer, 'b', false);
    writer('a', true);
    worker.join();
    // Messages of the two threads may come in any order, but each piece lands whole: without
    // the line feeds, the log is runs of exactly 300 equal letters.
    std::string log = capture.text();
    log.erase(std::remove(log.begin(), log.end(), '\n'), log.end());
    ASSERT_EQ(log.size(), 400u * 300);
    for (std::size_t i = 0; i < log.size(); i += 300)
        ASSERT_EQ(log.substr(i, 300), std::string(300, log[i])) << "at letter " << i;
}
