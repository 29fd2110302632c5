#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "support/test_support.h"

using testing_support::makeDirectory;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

TEST(PlatformNames, EqualityIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(platform::namesEqualIgnoringCase("MasterVolume", "masterVOLUME"));
    EXPECT_TRUE(platform::namesEqualIgnoringCase("", ""));
    EXPECT_FALSE(platform::namesEqualIgnoringCase("Menu", "Menus"));
    EXPECT_FALSE(platform::namesEqualIgnoringCase("a[", "A{"));  // '[' and '{' differ by 0x20 too
    EXPECT_FALSE(platform::namesEqualIgnoringCase("\xc4", "\xe4"));
}

TEST(PlatformClock, MillisecondsAdvance) {
    const std::uint32_t before = platform::milliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::uint32_t elapsed = platform::milliseconds() - before;
    EXPECT_GE(elapsed, 19u);
}

TEST(PlatformPaths, BackslashesAndLetterCaseResolveToExistingFiles) {
    ScratchDirectory scratch;
    makeDirectory("game");
    makeDirectory("game/Menus");
    makeDirectory("Textures");
    writeFile("game/Menus/mainMenu.ini", "x");
    writeFile("Textures/Hex.bmp", "x");
    writeFile("Textures/hex.BMP.bak", "x");
    EXPECT_EQ(platform::nativePath("game\\Menus\\mainMenu.ini"), "game/Menus/mainMenu.ini");
    EXPECT_EQ(platform::nativePath("GAME\\menus\\MAINMENU.INI"), "game/Menus/mainMenu.ini");
    EXPECT_EQ(platform::nativePath("game\\..\\textures\\hex.bmp"), "game/../Textures/Hex.bmp");
    EXPECT_EQ(platform::nativePath(".\\debug.log"), "./debug.log");
    // Names that match nothing stay as written, so new files can be created.
    EXPECT_EQ(platform::nativePath("game\\Menus\\New.ini"), "game/Menus/New.ini");
    EXPECT_EQ(platform::nativePath(scratch.path() + "/TEXTURES/HEX.BMP"),
              scratch.path() + "/Textures/Hex.bmp");
    EXPECT_EQ(platform::nativePath(""), "");
}

TEST(PlatformPaths, ExactMatchWinsOverCaseInsensitiveOne) {
    ScratchDirectory scratch;
    writeFile("map.ini", "lower");
    writeFile("MAP.ini", "upper");
    EXPECT_EQ(platform::nativePath("MAP.ini"), "MAP.ini");
    EXPECT_EQ(platform::nativePath("map.ini"), "map.ini");
    std::ifstream in = platform::openInput("MAP.INI", false);
    EXPECT_TRUE(in.is_open());
}
