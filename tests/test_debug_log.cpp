#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "platform/debug_log.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

TEST(DebugLog, PlainWritersAppendExactlyWhatTheyAreGiven) {
    ScratchDirectory scratch;
    logText("Error: Unable to create SDL OpenGL screen");
    logText("Failed to open file: ");
    logString("Menus\\controller.ini");
    logNewline();
    logInt(-42);
    logInt(0);
    logText(nullptr);
    EXPECT_EQ(readFile("debug.log"),
              "Error: Unable to create SDL OpenGL screenFailed to open file: "
              "Menus\\controller.ini\n-420");
}

TEST(DebugLog, ExistingFileIsAppendedNotTruncated) {
    ScratchDirectory scratch;
    writeFile("debug.log", "first run\n");
    logText("second run\n");
    EXPECT_EQ(readFile("debug.log"), "first run\nsecond run\n");
}

TEST(DebugLog, StreamChainStaysOpenUntilItsClosingPiece) {
    ScratchDirectory scratch;
    debugLog << "a" << std::string("b") << 3 << lineFeed;
    // Everything is flushed piece by piece, so a crash loses nothing written so far.
    EXPECT_EQ(readFile("debug.log"), "ab3\n");
    debugLog << "c" << endLine;
    debugLog << closing("closing text");
    logText("!");
    EXPECT_EQ(readFile("debug.log"), "ab3\nc\nclosing text!");
}

namespace {

// An engine whose start-up fails the way an allocation failure would.
class FailingEngine : public GameEngine {
  public:
    explicit FailingEngine(bool standardException) : standard_(standardException) {}

  protected:
    void initialise() override {
        if (standard_) {
            throw std::runtime_error("out of memory");
        }
        throw 42;
    }

  private:
    bool standard_;
};

}  // namespace

TEST(DebugLog, StartUpExceptionIsReportedThreeTimesAndMainReturnsZero) {
    ScratchDirectory scratch;
    FailingEngine engine(true);
    EXPECT_EQ(runGuarded(engine), 0);
    EXPECT_EQ(readFile("debug.log"),
              "GameEngine::InitAll(): out of memory\nGameEngine::run(): out of memory\n"
              "out of memory\n");
}

TEST(DebugLog, UnknownExceptionIsReportedOnce) {
    ScratchDirectory scratch;
    FailingEngine engine(false);
    EXPECT_EQ(runGuarded(engine), 0);
    EXPECT_EQ(readFile("debug.log"), "Error: Unknown Exception thrown\n");
}
