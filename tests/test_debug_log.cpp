#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/game_engine.h"
#include "platform/debug_log.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(DebugLog, WritersAppendExactlyWhatTheyAreGiven) {
    writeFile("debug.log", "first run\n");  // appended to, not truncated
    logText("Failed to open file: ");
    logString("Menus\\controller.ini");
    logNewline();
    logInt(-42);
    logInt(0);
    logText(nullptr);
    EXPECT_EQ(readFile("debug.log"), "first run\nFailed to open file: Menus\\controller.ini\n-420");
    writeFile("debug.log", "");
    // A stream chain is flushed piece by piece, so a crash loses nothing written so far.
    debugLog << "a" << std::string("b") << 3 << lineFeed;
    EXPECT_EQ(readFile("debug.log"), "ab3\n");
    debugLog << "c" << endLine;
    debugLog << closing("closing text");
    logText("!");
    EXPECT_EQ(readFile("debug.log"), "ab3\nc\nclosing text!");
}

TEST(DebugLog, StartUpExceptionsAreReportedAndMainReturnsZero) {
    // An engine whose start-up fails the way an allocation failure would, or with a non-standard
    // exception.
    class FailingEngine : public GameEngine {
      public:
        explicit FailingEngine(bool standard) : standard_(standard) {}

      protected:
        void initialise() override {
            if (standard_) {
                throw std::runtime_error("out of memory");
            }
            throw 42;
        }
        bool standard_;
    };
    FailingEngine standard(true);
    EXPECT_EQ(runGuarded(standard), 0);
    EXPECT_EQ(readFile("debug.log"),
              "GameEngine::InitAll(): out of memory\nGameEngine::run(): out of memory\n"
              "out of memory\n");
    writeFile("debug.log", "");
    FailingEngine unknown(false);
    EXPECT_EQ(runGuarded(unknown), 0);
    EXPECT_EQ(readFile("debug.log"), "Error: Unknown Exception thrown\n");
}
