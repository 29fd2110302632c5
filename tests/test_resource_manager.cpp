// Screen classes and paths from map file names; reference texts; the caches' lifetimes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "engine/resource_manager.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "resources/package_writer.h"
#include "support/test_support.h"

using testing_support::makeDirectory;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

class Named : public StoredObject {};

struct ScreenCase {
    const char* fileName;
    const char* iniText;  // written to the file when not null
    bool menu;
    bool board;
    bool controller;
};

}  // namespace

TEST(MapFiles, ScreenClassFollowsTheFileName) {
    const ScreenCase cases[] = {
        {"a.map", nullptr, false, false, false},
        {"a.MENU", nullptr, true, false, false},
        {"a.Bord", nullptr, false, true, false},
        {"c.ini", "[General]\nMapType = menucontroller\n", false, false, true},
        {"m.ini", "[General]\nMapType = MENU\n", true, false, false},
        {"d.ini", "[General]\n", true, false, false},
        {"b.ini", "[General]\nMapType = Board\n", false, true, false},
        {"missing.ini", nullptr, true, false, false},
    };
    for (const ScreenCase& c : cases) {
        ScratchDirectory scratch;
        if (c.iniText != nullptr) {
            writeFile(c.fileName, c.iniText);
        }
        ResourceManager manager;
        manager.createMap(c.fileName);
        Map* map = manager.currentMap();
        ASSERT_NE(map, nullptr) << c.fileName;
        EXPECT_TRUE(map->isMap()) << c.fileName;
        EXPECT_EQ(map->isMenu(), c.menu) << c.fileName;
        EXPECT_EQ(map->isGameBoard(), c.board) << c.fileName;
        EXPECT_EQ(map->isMenuController(), c.controller) << c.fileName;
        // A board looks up its spark texture, which this scratch directory does not have.
        EXPECT_EQ(readFile("debug.log").find("Unrecognised"), std::string::npos) << c.fileName;
    }
}

TEST(MapFiles, UnknownExtensionGivesAPlainScreenAndALogLine) {
    ScratchDirectory scratch;
    ResourceManager manager;
    manager.createMap("level.xyz");
    manager.createMap("menu");  // no '.', and the whole name is one of the words
    EXPECT_TRUE(manager.currentMap()->isMenu());
    manager.createMap("screen");
    ASSERT_NE(manager.currentMap(), nullptr);
    EXPECT_FALSE(manager.currentMap()->isMenu());
    EXPECT_EQ(readFile("debug.log"),
              "Unrecognised map file type for file level.xyz\n"
              "Unrecognised map file type for file screen\n");
}

TEST(MapFiles, EachKindIsLoadedFromItsOwnDirectory) {
    ScratchDirectory scratch;
    ResourceManager manager;
    manager.createMap("a.menu");
    EXPECT_FALSE(manager.loadMap("a.menu"));
    EXPECT_EQ(manager.currentMap(), nullptr);
    manager.createMap("b.bord");
    EXPECT_FALSE(manager.loadMap("b.bord"));
    manager.createMap("c.map");
    EXPECT_FALSE(manager.loadMap("c.map"));
    const std::string log = readFile("debug.log");
    for (const char* line :
         {"failed to open file Menus\\a.menu\nFailed to open file: Menus\\a.menu\n",
          "failed to open file ..\\Maps\\b.bord\nFailed to open file: ..\\Maps\\b.bord\n",
          "failed to open file ..\\Maps\\c.map\nFailed to open file: ..\\Maps\\c.map\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
}

TEST(MapFiles, ControllerIniIsReadFromExactlyItsPath) {
    ScratchDirectory scratch;
    makeDirectory("menus");
    writeFile("menus/CONTROLLER.ini", "[General]\nMapType = MenuController\n");
    ResourceManager manager;
    manager.createMap("Menus\\controller.ini");
    ASSERT_TRUE(manager.currentMap()->isMenuController());
    EXPECT_TRUE(manager.loadMap("Menus\\controller.ini"));
    EXPECT_EQ(manager.currentMap()->fileName(), "controller.ini");
}

TEST(MapFiles, PackagedMenuLoadsItsObjectsAndForgetsItsDirectory) {
    ScratchDirectory scratch;
    makeDirectory("Menus");
    std::string error;
    ASSERT_TRUE(writePackage("Menus/title.menu", {}, error)) << error;
    ResourceManager manager;
    manager.createMap("title.menu");
    ASSERT_TRUE(manager.loadMap("title.menu"));
    EXPECT_TRUE(manager.currentMap()->isMenu());
    EXPECT_FALSE(manager.currentMap()->hasDirectory());
}

TEST(References, FormsOfAReferenceText) {
    ScratchDirectory scratch;
    writeFile("screen.ini", "[General]\n");
    ResourceManager manager;
    EXPECT_EQ(manager.getResource(""), nullptr);
    manager.createMap("screen.ini");
    ASSERT_TRUE(manager.loadMap("screen.ini"));
    auto object = std::make_unique<Named>();
    object->setName("logo>big");
    StoredObject* logo = object.get();
    manager.currentMap()->addObject(std::move(object));
    // A leading '>' looks only in the current screen, even with another '>' inside.
    EXPECT_EQ(manager.getResource(">logo>big"), logo);
    EXPECT_EQ(manager.getResource(">LOGO>big"), nullptr);
    EXPECT_EQ(getResource(">logo>big"), logo);  // the live manager

    EXPECT_EQ(manager.getResource("art.zip>logo"), nullptr);
    EXPECT_EQ(readFile("debug.log"), "Unrecognised package format for file 'art.zip>logo'\n");
}

TEST(References, NoManagerMeansNoResource) {
    ScratchDirectory scratch;
    EXPECT_EQ(resourceManager(), nullptr);
    EXPECT_EQ(getResource("Hex.bmp"), nullptr);
    EXPECT_EQ(getTexture("Hex.bmp"), nullptr);
}

TEST(References, MissingFallbackTextureEndsTheSearch) {
    ScratchDirectory scratch;
    ResourceManager manager;
    // Neither the texture nor the fallback exists: each is tried once, nothing recurses.
    EXPECT_EQ(manager.getTexture("wood.bmp"), nullptr);
    EXPECT_EQ(manager.getResource("pics.TXP>wood"), nullptr);
    EXPECT_EQ(readFile("debug.log"),
              "Failed to open file ..\\Textures\\wood.bmp\n"
              "Failed to open file ..\\Textures\\Hex.bmp\n"
              "failed to open file ..\\Textures\\pics.TXP\n"
              "Failed to open file ..\\Textures\\Hex.bmp\n");
}

TEST(References, ASoundThatCannotBeReadIsLoggedOnceAndNotReadAgain) {
    ScratchDirectory scratch;
    makeDirectory("Audio");
    makeDirectory("game");
    writeFile("Audio/click.wav", "RIFF, but no sound");
    ASSERT_EQ(chdir("game"), 0);
    {
        ResourceManager manager;
        // A move plays the click; games go on over several screens.
        for (int move = 0; move < 3; ++move) {
            EXPECT_EQ(manager.getSound("click.wav"), nullptr);
            EXPECT_EQ(manager.getResource("CLICK.WAV"), nullptr);
            manager.unloadAll();
        }
        const std::string log = readFile("debug.log");
        EXPECT_EQ(log.find("Couldn't load ..\\Audio\\click.wav: "), 0u) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    }
    ASSERT_EQ(chdir(".."), 0);
}

TEST(References, OverlongNamesAreHandledLikeAnyOther) {
    ScratchDirectory scratch;
    ResourceManager manager;
    const std::string longName(100000, 'x');
    EXPECT_EQ(manager.getTexture(longName + ".bmp"), nullptr);
    EXPECT_EQ(manager.getMesh(longName + ".smf"), nullptr);
    EXPECT_EQ(manager.getResource(longName + ".smp>" + longName), nullptr);
    manager.createMap(longName + ".menu");
    EXPECT_FALSE(manager.loadMap(longName + ".menu"));
}
