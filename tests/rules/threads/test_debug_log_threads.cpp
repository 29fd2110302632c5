// The debug log written from the main thread and the computer player's worker at once.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/debug_log.h"
#include "support/test_support.h"

using testing_support::LogCapture;

TEST(DebugLog, PiecesFromTwoThreadsNeverInterleave) {
    LogCapture capture;
    const std::string pieceA(300, 'a');
    const std::string pieceB(300, 'b');
    auto writer = [](const std::string& piece, bool stream) {
        for (int i = 0; i < 200; ++i) {
            if (stream) {
                debugLog << piece << lineFeed;
            } else {
                logString(piece + "\n");
            }
        }
        logNewline();
    };
    std::thread worker(writer, pieceB, false);
    writer(pieceA, true);
    worker.join();
    // Messages of the two threads may follow each other in any order, but each piece lands
    // whole: every run of one letter is exactly one piece long.
    const std::string log = capture.text();
    std::size_t runs = 0;
    std::size_t i = 0;
    while (i < log.size()) {
        if (log[i] == '\n') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < log.size() && log[end] == log[i]) {
            ++end;
        }
        ASSERT_EQ(end - i, 300u) << "at byte " << i;
        ++runs;
        i = end;
    }
    EXPECT_EQ(runs, 400u);
}
