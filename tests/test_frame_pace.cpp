// The board's frame clock.
#include <gtest/gtest.h>

#include <cstdint>

#include "menus/game_board.h"
#include "platform/platform.h"
#include "support/board_text.h"
#include "support/test_support.h"

TEST(FramePace, AClockAheadOfNowStillWaitsForTheNextFrame) {
    testing_support::writeFile("board.ini", testing_support::boardDescription({"a"}, 1));
    GameBoard board;
    board.load("board.ini", true);
    board.additionalSetup();
    board.update();
    // A delay that ended a tick early leaves the clock a little ahead of now.
    board.lastFrameTime = platform::milliseconds() + 2;
    const std::uint32_t due = board.lastFrameTime + static_cast<std::uint32_t>(board.framePeriod);
    board.update();
    EXPECT_GE(static_cast<std::int32_t>(platform::milliseconds() - due), 0);
    EXPECT_EQ(board.lastFrameTime, due);
}
