// The new-game and settings screens: lists selected from the ini files, dependent lists enabled
// and disabled frame by frame, the files written back when the screen goes away, the volume
// applied at once and the display rebuild requested after a resolution change.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio_output.h"
#include "engine/game_engine.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/new_game_control.h"
#include "menus/settings_control.h"
#include "support/test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

std::unique_ptr<Menu> loadMenu(const std::string& text, Map* parent = nullptr) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    EXPECT_TRUE(menu->load("menu.ini", true));
    menu->parent = parent;
    menu->host = gameEngine();
    return menu;
}

ListBox* list(Menu& menu, const std::string& name) {
    return static_cast<ListBox*>(menu.getObject(name));
}

std::string listSection(const std::string& name, const std::vector<std::string>& values) {
    std::string text = "[" + name + "]\nType = ListBox\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += "item" + std::to_string(i) + " = Entry " + std::to_string(i) + "\n";
        text += "value" + std::to_string(i) + " = " + values[i] + "\n";
    }
    return text;
}

// The control comes first: it finds its lists only once all widgets exist.
std::string newGameScreen() {
    std::string text = "[control]\nType = NewGameControl\niniFile = players.ini\n";
    text += listSection("lstPlayers", {"2", "3", "4"});
    text += listSection("lstFirstPlayer", {"0", "1"});
    for (int n = 1; n <= 4; ++n) {
        text += listSection("lstAiControl" + std::to_string(n), {"0", "1"});
        text += listSection("lstAiDifficulty" + std::to_string(n), {"1", "3", "5"});
    }
    return text;
}

std::vector<std::int32_t> selections(Menu& menu, const std::vector<std::string>& names) {
    std::vector<std::int32_t> result;
    for (const std::string& name : names) {
        result.push_back(list(menu, name)->selected);
    }
    return result;
}

std::vector<bool> enabledFlags(Menu& menu, const std::vector<std::string>& names) {
    std::vector<bool> result;
    for (const std::string& name : names) {
        result.push_back(list(menu, name)->enabled);
    }
    return result;
}

const std::vector<std::string> aiLists = {
    "lstAiControl1", "lstAiDifficulty1", "lstAiControl2", "lstAiDifficulty2",
    "lstAiControl3", "lstAiDifficulty3", "lstAiControl4", "lstAiDifficulty4"};

std::string settingsScreen() {
    return "[control]\nType = SettingsControl\niniFile = settings.ini\n" +
           listSection("lstBlackTiles", {"0", "0.01", "0.05", "0.1"}) +
           listSection("lstResolution",
                       {"800 600", "1024 768", "1280 1024", "1 2 3", "800x600", " 640", "1 "}) +
           listSection("lstVolume",
                       {"0", "12", "25", "38", "51", "64", "76", "89", "102", "115", "128"});
}

// A real audio device on SDL's dummy driver, owned by a live engine.
class EngineWithAudio {
  public:
    EngineWithAudio() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        engine.audio = std::make_unique<AudioOutput>();
    }
    ~EngineWithAudio() {
        engine.audio.reset();
        SDL_Quit();
        unsetenv("SDL_AUDIODRIVER");
    }
    EngineWithAudio(const EngineWithAudio&) = delete;
    EngineWithAudio& operator=(const EngineWithAudio&) = delete;

    GameEngine engine;
};

}  // namespace

TEST(NewGameControl, SelectsFromTheFileWithDefaultsForMissingKeys) {
    ScratchDirectory scratch;
    writeFile("players.ini",
              "[General]\nplayers = 3\nrandomFirstPlayer = \"1\"\n"
              "[1]\nAI Controlled = 1\nDifficulty = 5\n"
              "[3]\nai controlled = 0\ndifficulty = 1\n"
              "[4]\nAI Controlled = 1\n");
    auto menu = loadMenu(newGameScreen());
    EXPECT_EQ(selections(*menu, {"lstPlayers", "lstFirstPlayer"}),
              (std::vector<std::int32_t>{1, 1}));
    // No [2]: the human entry and medium difficulty; [4] without a difficulty: medium.
    EXPECT_EQ(selections(*menu, aiLists), (std::vector<std::int32_t>{1, 2, 0, 1, 0, 0, 1, 1}));
}

TEST(NewGameControl, AMissingFileSelectsTheDefaults) {
    ScratchDirectory scratch;
    auto menu = loadMenu(newGameScreen());
    EXPECT_EQ(selections(*menu, {"lstPlayers", "lstFirstPlayer"}),
              (std::vector<std::int32_t>{2, 0}));
    EXPECT_EQ(selections(*menu, aiLists), (std::vector<std::int32_t>{0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(NewGameControl, DependentListsFollowTheSelectionsEachFrame) {
    ScratchDirectory scratch;
    writeFile("players.ini", "[1]\nAI Controlled = 1\n[4]\nAI Controlled = 1\n");
    auto menu = loadMenu(newGameScreen());
    menu->update();
    EXPECT_EQ(enabledFlags(*menu, aiLists),
              (std::vector<bool>{true, true, true, false, true, false, true, true}));

    // The smallest player count greys out players 2 and 4 on the next frame.
    list(*menu, "lstPlayers")->selected = 0;
    EXPECT_TRUE(list(*menu, "lstAiControl2")->enabled);
    menu->update();
    EXPECT_EQ(enabledFlags(*menu, aiLists),
              (std::vector<bool>{true, true, false, false, true, false, false, false}));

    // Back to four: the player lists return, their difficulty lists follow them.
    list(*menu, "lstPlayers")->selected = 2;
    list(*menu, "lstAiControl3")->selected = 1;
    list(*menu, "lstAiControl1")->selected = 0;
    menu->update();
    EXPECT_EQ(enabledFlags(*menu, aiLists),
              (std::vector<bool>{true, false, true, false, true, true, true, true}));
}

TEST(NewGameControl, LeavingWritesTheSelectionsAndKeepsEverythingElse) {
    ScratchDirectory scratch;
    writeFile("players.ini",
              "[General]\nplayers = 4\nmapName = big\n"
              "[1]\nAI Controlled = 0\nDifficulty = 3\n");
    auto menu = loadMenu(newGameScreen());
    menu->mouseButtonPressed(0.0, 0.0, 1);  // nothing selects by accident
    list(*menu, "lstPlayers")->selected = 0;
    list(*menu, "lstFirstPlayer")->selected = 1;
    list(*menu, "lstAiControl1")->selected = 1;
    list(*menu, "lstAiDifficulty1")->selected = 2;
    list(*menu, "lstAiControl2")->selected = 1;
    menu->update();  // players 2 and 4 greyed out: their selections are still written
    menu.reset();
    EXPECT_EQ(readFile("players.ini"),
              "[General]\nplayers = \"2\"\nmapName = \"big\"\nrandomFirstPlayer = \"1\"\n"
              "[1]\nAI Controlled = \"1\"\nDifficulty = \"5\"\n"
              "[2]\nAI Controlled = \"1\"\ndifficulty = \"3\"\n"
              "[3]\nAI Controlled = \"0\"\ndifficulty = \"3\"\n"
              "[4]\nAI Controlled = \"0\"\ndifficulty = \"3\"\n");
}

TEST(NewGameControl, UnmatchedValuesAndStrangerPartnersAreNeverWritten) {
    ScratchDirectory scratch;
    const std::string original =
        "[General]\nplayers = \"7\"\nrandomFirstPlayer = \"1\"\n"
        "[1]\nAI Controlled = \"1\"\ndifficulty = \"9\"\n";
    writeFile("players.ini", original);
    // lstFirstPlayer is a panel, player 1's list offers no "9", the others are missing.
    auto menu =
        loadMenu("[control]\nType = NewGameControl\niniFile = players.ini\n" +
                 listSection("lstPlayers", {"2", "3", "4"}) + "[lstFirstPlayer]\nType = Panel\n" +
                 listSection("lstAiControl1", {"0", "1"}) +
                 listSection("lstAiDifficulty1", {"1", "3", "5"}));
    EXPECT_EQ(list(*menu, "lstPlayers")->selected, -1);
    EXPECT_EQ(list(*menu, "lstAiDifficulty1")->selected, -1);
    menu->update();
    EXPECT_TRUE(list(*menu, "lstPlayers")->enabled);
    menu.reset();
    EXPECT_EQ(readFile("players.ini"), original);
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(SettingsControl, SelectsFromTheFileAndAppliesTheVolumeAtOnce) {
    ScratchDirectory scratch;
    writeFile("settings.ini",
              "[resolution]\nwidth = 1280\nheight = 1024\n[audio]\nMasterVolume = 51\n"
              "[game]\nblackTiles = 0.05\n");
    EngineWithAudio live;
    ASSERT_TRUE(live.engine.audio->deviceOpen());
    EXPECT_EQ(live.engine.audio->volume(), 51);
    live.engine.audio->setVolume(7);

    auto menu = loadMenu(settingsScreen());
    EXPECT_EQ(selections(*menu, {"lstBlackTiles", "lstResolution", "lstVolume"}),
              (std::vector<std::int32_t>{2, 2, 4}));
    auto* control = static_cast<SettingsControl*>(menu->getObject("control"));
    EXPECT_EQ(control->volumeSelection, 4);
    EXPECT_EQ(control->initialResolution, 2);

    // Unchanged: the volume is left alone.
    menu->update();
    EXPECT_EQ(live.engine.audio->volume(), 7);
    // Each new entry is heard from the next frame on, by its position in the list.
    const int expected[] = {0, 12, 25, 38, 51, 64, 76, 89, 102, 115, 128};
    for (int s : {3, 0, 10, 1, 6}) {
        list(*menu, "lstVolume")->selected = s;
        menu->update();
        EXPECT_EQ(live.engine.audio->volume(), expected[s]) << s;
    }
}

TEST(SettingsControl, ChangingTheResolutionAsksTheControllerToRebuildTheDisplay) {
    ScratchDirectory scratch;
    MenuController controller;
    auto menu = loadMenu(settingsScreen(), &controller);
    EXPECT_EQ(list(*menu, "lstResolution")->selected, 1);  // the default 1024 768
    menu->update();
    EXPECT_FALSE(controller.displayResetRequested);
    list(*menu, "lstResolution")->selected = 0;
    menu->update();
    EXPECT_TRUE(controller.displayResetRequested);

    // Shown without a controller: nothing to ask, nothing breaks.
    auto bare = loadMenu(settingsScreen());
    list(*bare, "lstResolution")->selected = 0;
    bare->update();
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(SettingsControl, LeavingUntouchedRewritesTheFileAndRequestsAVideoRestart) {
    ScratchDirectory scratch;
    GameEngine engine;
    auto menu = loadMenu(settingsScreen());
    EXPECT_FALSE(engine.videoRestartPending);
    menu.reset();
    EXPECT_TRUE(engine.videoRestartPending);
    EXPECT_EQ(readFile("settings.ini"),
              "[game]\nblackTiles = \"0.01\"\n"
              "[resolution]\nwidth = \"1024\"\nheight = \"768\"\n"
              "[audio]\nMasterVolume = \"128\"\n");
}

TEST(SettingsControl, ResolutionsAreSplitAtTheirLastInnerSpace) {
    struct Case {
        int selection;
        const char* width;
        const char* height;
    };
    const Case cases[] = {
        {2, "1280", "1024"}, {3, "1 2", "3"},  // two spaces: the width keeps the first
        {4, "1366", "768"},                    // no space: the old size stays
        {5, "1366", "768"},                    // a leading space would leave the width empty
        {6, "1366", "768"},                    // a trailing one the height
        {-1, "1366", "768"},  // not offered by the list: never replaced by a default
    };
    for (const Case& c : cases) {
        ScratchDirectory scratch;
        writeFile("settings.ini", "[resolution]\nwidth = 1366\nheight = 768\n");
        MenuController controller;
        auto menu = loadMenu(settingsScreen(), &controller);
        EXPECT_EQ(list(*menu, "lstResolution")->selected, -1);
        menu->update();
        EXPECT_FALSE(controller.displayResetRequested);
        list(*menu, "lstResolution")->selected = c.selection;
        menu.reset();
        EXPECT_EQ(readFile("settings.ini"),
                  std::string("[resolution]\nwidth = \"") + c.width + "\"\nheight = \"" + c.height +
                      "\"\n[game]\nblackTiles = \"0.01\"\n[audio]\nMasterVolume = \"128\"\n")
            << c.selection;
    }
}

TEST(SettingsControl, MissingListsAreSkippedAndTheirKeysKept) {
    ScratchDirectory scratch;
    const std::string original = "[audio]\nMasterVolume = \"64\"\n";
    writeFile("settings.ini", original);
    EngineWithAudio live;
    // The volume "list" is a text box, so the volume is neither set nor written.
    auto menu = loadMenu(
        "[control]\nType = SettingsControl\niniFile = settings.ini\n"
        "[lstVolume]\nType = TextBox\nText = 128\n");
    menu->update();
    EXPECT_EQ(live.engine.audio->volume(), 64);
    menu.reset();
    EXPECT_EQ(readFile("settings.ini"), original);
    EXPECT_TRUE(live.engine.videoRestartPending);
}
