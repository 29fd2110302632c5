// The debug log written from the main thread and the computer player's worker at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "platform/debug_log.h"
#include "support/test_support.h"

TEST(DebugLog, PiecesFromTwoThreadsNeverInterleave) {
    testing_support::LogCapture capture;
    auto writer = [](char letter, bool stream) {
        for (int i = 0; i < 200; ++i) {
            stream ? void(debugLog << std::string(300, letter) << lineFeed)
                   : logString(std::string(300, letter) + "\n");
        }
    };
    std::thread worker(writer, 'b', false);
    writer('a', true);
    worker.join();
    // Messages of the two threads may come in any order, but each piece lands whole: without
    // the line feeds, the log is runs of exactly 300 equal letters.
    std::string log = capture.text();
    log.erase(std::remove(log.begin(), log.end(), '\n'), log.end());
    ASSERT_EQ(log.size(), 400u * 300);
    for (std::size_t i = 0; i < log.size(); i += 300) {
        ASSERT_EQ(log.substr(i, 300), std::string(300, log[i])) << "at letter " << i;
    }
}
