// Screen classes and paths from map file names; reference texts; the caches' lifetimes; and
// beneath them the platform layer: names and paths as the game writes them, and the debug log.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/game_engine.h"
#include "engine/resource_manager.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
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
    // A screen that cannot be read is dropped.
    manager.createMap("b.bord");
    EXPECT_FALSE(manager.loadMap("b.bord") || manager.currentMap() != nullptr);
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
        EXPECT_TRUE(log.find("Couldn't load ..\\Audio\\click.wav: ") == 0 &&
                    std::count(log.begin(), log.end(), '\n') == 1)
            << log;
    }
    ASSERT_EQ(chdir(".."), 0);
}

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
