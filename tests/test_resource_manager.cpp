// Screen classes and paths from map file names; reference texts; the caches' lifetimes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "engine/resource_manager.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(MapFiles, ScreenClassAndFolderFollowTheFileName) {
    // File name, ini text (written when not null), screen kind. A name without a '.' is one of
    // the kind words or nothing.
    // clang-format off
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"a.map", nullptr, "map"}, {"a.MENU", nullptr, "menu"}, {"a.Bord", nullptr, "board"},
        {"c.ini", "[General]\nMapType = menucontroller\n", "controller"},
        {"m.ini", "[General]\nMapType = MENU\n", "menu"}, {"d.ini", "[General]\n", "menu"},
        {"b.ini", "[General]\nMapType = Board\n", "board"}, {"missing.ini", nullptr, "menu"},
        {"menu", nullptr, "menu"}, {"level.xyz", nullptr, "map"}, {"screen", nullptr, "map"}};
    // clang-format on
    ResourceManager manager;
    for (const auto& [fileName, iniText, kind] : cases) {
        if (iniText != nullptr)
            writeFile(fileName, iniText);
        manager.createMap(fileName);
        const Map* map = manager.currentMap();
        ASSERT_TRUE(map != nullptr && map->isMap()) << fileName;
        const std::string is = map->isMenu() ? "menu" : map->isGameBoard() ? "board" : "map";
        EXPECT_EQ(map->isMenuController() ? "controller" : is, kind) << fileName;
    }
    // A board looks up its spark texture, which this folder does not have.
    EXPECT_EQ(readFile("debug.log").substr(readFile("debug.log").find("Unrecognised")),
              "Unrecognised map file type for file level.xyz\n"
              "Unrecognised map file type for file screen\n");
    // Each kind is read from its own folder; a screen that cannot be read is dropped.
    for (const char* name : {"a.menu", "b.bord", "c.map"}) {
        manager.createMap(name);
        EXPECT_FALSE(manager.loadMap(name) || manager.currentMap() != nullptr);
        const std::string path = (name[0] == 'a' ? "Menus\\" : "..\\Maps\\") + std::string(name);
        const std::string lines = "failed to open file " + path + "\nFailed to open file: " + path;
        EXPECT_NE(readFile("debug.log").find(lines + "\n"), std::string::npos);
    }
}

TEST(References, FormsOfAReferenceText) {
    EXPECT_TRUE(getResource("Hex.bmp") == nullptr && getTexture("Hex.bmp") == nullptr);
    writeFile("screen.ini", "[General]\n");
    ResourceManager manager;
    EXPECT_EQ(manager.getResource(""), nullptr);
    manager.createMap("screen.ini");
    ASSERT_TRUE(manager.loadMap("screen.ini"));
    auto object = std::make_unique<StoredObject>();
    StoredObject* logo = object.get();
    logo->setName("logo>big");
    manager.currentMap()->addObject(std::move(object));
    // A leading '>' looks only in the current screen, even with another '>' inside.
    EXPECT_TRUE(manager.getResource(">logo>big") == logo && getResource(">logo>big") == logo);
    EXPECT_EQ(manager.getResource(">LOGO>big"), nullptr);
    writeFile("debug.log", "");
    // Neither a texture nor the fallback exists: each is tried once, nothing recurses.
    EXPECT_TRUE(manager.getResource("art.zip>logo") == nullptr &&
                manager.getTexture("wood.bmp") == nullptr &&
                manager.getResource("pics.TXP>wood") == nullptr);
    EXPECT_EQ(readFile("debug.log"),
              "Unrecognised package format for file 'art.zip>logo'\n"
              "Failed to open file ..\\Textures\\wood.bmp\n"
              "Failed to open file ..\\Textures\\Hex.bmp\n"
              "failed to open file ..\\Textures\\pics.TXP\n"
              "Failed to open file ..\\Textures\\Hex.bmp\n");
}

TEST(References, ASoundThatCannotBeReadIsLoggedOnceAndNotReadAgain) {
    makeDirectory("Audio");
    makeDirectory("game");
    writeFile("Audio/click.wav", "RIFF, but no sound");
    ASSERT_EQ(chdir("game"), 0);
    {
        ResourceManager manager;
        // A move plays the click; games go on over several screens.
        for (int move = 0; move < 3; ++move, manager.unloadAll())
            EXPECT_TRUE(manager.getSound("click.wav") == nullptr &&
                        manager.getResource("CLICK.WAV") == nullptr);
        const std::string log = readFile("debug.log");
        EXPECT_EQ(log.find("Couldn't load ..\\Audio\\click.wav: "), 0u) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    }
    ASSERT_EQ(chdir(".."), 0);
}
