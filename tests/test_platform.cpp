#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(Platform, NamesEqualIgnoringAsciiCaseOnly) {
    EXPECT_TRUE(platform::namesEqualIgnoringCase("MasterVolume", "masterVOLUME"));
    EXPECT_TRUE(platform::namesEqualIgnoringCase("", ""));
    EXPECT_FALSE(platform::namesEqualIgnoringCase("Menu", "Menus"));
    EXPECT_FALSE(platform::namesEqualIgnoringCase("a[", "A{"));  // '[' and '{' differ by 0x20 too
    EXPECT_FALSE(platform::namesEqualIgnoringCase("\xc4", "\xe4"));
}

TEST(Platform, BackslashesAndLetterCaseResolveToExistingFiles) {
    makeDirectory("game");
    makeDirectory("game/Menus");
    makeDirectory("Textures");
    writeFile("game/Menus/mainMenu.ini", "x");
    writeFile("Textures/Hex.bmp", "x");
    writeFile("Textures/hex.BMP.bak", "x");
    writeFile("map.ini", "lower");
    writeFile("MAP.ini", "upper");
    const std::pair<std::string, std::string> cases[] = {
        {"GAME\\menus\\MAINMENU.INI", "game/Menus/mainMenu.ini"},
        {"game\\..\\textures\\hex.bmp", "game/../Textures/Hex.bmp"},
        {".\\debug.log", "./debug.log"},
        // Names that match nothing stay as written, so new files can be created.
        {"game\\Menus\\New.ini", "game/Menus/New.ini"},
        {"", ""},
        // An exact match wins over one ignoring case.
        {"MAP.ini", "MAP.ini"},
        {"map.ini", "map.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::nativePath(c.first), c.second) << c.first;
    }
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(platform::nativePath(here + "/TEXTURES/HEX.BMP"), here + "/Textures/Hex.bmp");
    EXPECT_TRUE(platform::openInput("MAP.INI", false).is_open());
}
