// The platform layer: names and paths as the game writes them, and the debug log.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "engine/game_engine.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(Platform, NamesEqualIgnoringAsciiCaseAndPathsResolveToExistingFiles) {
    using platform::namesEqualIgnoringCase;
    EXPECT_TRUE(namesEqualIgnoringCase("MasterVolume", "masterVOLUME") &&
                namesEqualIgnoringCase("", ""));
    // '[' and '{' differ by 0x20 too.
    EXPECT_FALSE(namesEqualIgnoringCase("Menu", "Menus") || namesEqualIgnoringCase("a[", "A{") ||
                 namesEqualIgnoringCase("\xc4", "\xe4"));
    makeDirectory("game");
    makeDirectory("game/Menus");
    makeDirectory("Textures");
    writeFile("game/Menus/mainMenu.ini", "x");
    writeFile("Textures/Hex.bmp", "x");
    writeFile("Textures/hex.BMP.bak", "x");
    writeFile("map.ini", "lower");
    writeFile("MAP.ini", "upper");
    // Names that match nothing stay as written, so new files can be created; an exact match
    // wins over one ignoring case.
    const std::pair<std::string, std::string> cases[] = {
        {"GAME\\menus\\MAINMENU.INI", "game/Menus/mainMenu.ini"},
        {"game\\..\\textures\\hex.bmp", "game/../Textures/Hex.bmp"},
        {".\\debug.log", "./debug.log"},
        {"game\\Menus\\New.ini", "game/Menus/New.ini"},
        {"", ""},
        {"MAP.ini", "MAP.ini"},
        {"map.ini", "map.ini"}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::nativePath(c.first), c.second) << c.first;
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(platform::nativePath(here + "/TEXTURES/HEX.BMP"), here + "/Textures/Hex.bmp");
    EXPECT_TRUE(platform::openInput("MAP.INI", false).is_open());
}

TEST(DebugLog, WritersAppendExactlyWhatTheyAreGiven) {
    writeFile("debug.log", "first run\n");  // appended to, not truncated
    logText("Failed: "), logString("Menus\\a.ini"), logNewline(), logInt(-42), logInt(0);
    logText(nullptr);
    // A stream chain is flushed piece by piece, so a crash loses nothing written so far.
    debugLog << "a" << std::string("b") << 3 << lineFeed;
    EXPECT_EQ(readFile("debug.log"), "first run\nFailed: Menus\\a.ini\n-420ab3\n");
    debugLog << "c" << endLine, debugLog << closing("closing text");
    logText("!");
    EXPECT_EQ(readFile("debug.log").substr(38), "c\nclosing text!");
}

TEST(DebugLog, StartUpExceptionsAreReportedAndMainReturnsZero) {
    // An engine whose start-up fails the way an allocation failure would, or with a non-standard
    // exception.
    struct FailingEngine : GameEngine {
        explicit FailingEngine(bool standard) : standard_(standard) {}
        void initialise() override {
            standard_ ? throw std::runtime_error("out of memory") : throw 42;
        }
        bool standard_;
    };
    for (bool standard : {true, false}) {
        writeFile("debug.log", "");
        FailingEngine engine(standard);
        EXPECT_EQ(runGuarded(engine), 0);
        EXPECT_EQ(readFile("debug.log"), standard
                                             ? "GameEngine::InitAll(): out of memory\n"
                                               "GameEngine::run(): out of memory\nout of memory\n"
                                             : "Error: Unknown Exception thrown\n");
    }
}
