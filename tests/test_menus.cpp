// Menus built from ini files: the widget factory and its keys, mouse routing, buttons and list
// boxes, and the new-game and settings screens (their lists, the files written when they go away,
// the volume and the display rebuild). Nothing here draws.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio_output.h"
#include "engine/game_engine.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/new_map_button.h"
#include "menus/panel.h"
#include "menus/player_turn_button.h"
#include "menus/quit_button.h"
#include "menus/text_box.h"
#include "render/player_colours.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

std::unique_ptr<Menu> loadMenu(const std::string& text, Map* parent = nullptr) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    EXPECT_TRUE(menu->load("menu.ini", true));
    menu->parent = parent;
    menu->host = gameEngine();
    return menu;
}

template <typename T = ListBox>
T* widget(Menu& menu, const std::string& name) {
    return static_cast<T*>(menu.getObject(name));
}

// A list section whose entries are "Entry i" with the given values.
std::string listSection(const std::string& name, const std::vector<std::string>& values,
                        const std::string& keys = "") {
    std::string text = "[" + name + "]\nType = ListBox\n" + keys;
    for (std::size_t i = 0; i < values.size(); ++i)
        text += "item" + std::to_string(i) + " = Entry " + std::to_string(i) + "\nvalue" +
                std::to_string(i) + " = " + values[i] + "\n";
    return text;
}

// A list at 0.1 .. 0.5 x 0.1 .. 0.3 whose item i has the value 10 i.
std::string numberList(int items, const std::string& keys = "") {
    std::vector<std::string> values;
    for (int i = 0; i < items; ++i)
        values.push_back(std::to_string(i * 10));
    return listSection("list", values, "Left = 0.1\nRight = 0.5\nTop = 0.1\nBottom = 0.3\n" + keys);
}

// A button that notes when it acts and goes, to see the order in which the menu reaches them.
struct RecordingButton : Button {
    RecordingButton(std::vector<std::string>& log, const std::string& name) : log(log) {
        executeOnPress = false;
        setName(name);
    }
    void execute() override { log.push_back(name()); }
    void beforeUnload() override { log.push_back("unload " + name()); }
    ~RecordingButton() override { log.push_back("destroyed " + name()); }
    std::vector<std::string>& log;
};

RecordingButton* addButton(Menu& menu, std::vector<std::string>& log, const std::string& name,
                           double left, double top, double right, double bottom) {
    auto button = std::make_unique<RecordingButton>(log, name);
    RecordingButton* raw = button.get();
    raw->Left = left;
    raw->Top = top;
    raw->Right = right;
    raw->Bottom = bottom;
    raw->owner = &menu;
    menu.addObject(std::move(button));
    return raw;
}

// The control comes first: it finds its lists only once all widgets exist.
std::string newGameScreen() {
    std::string text = "[control]\nType = NewGameControl\niniFile = players.ini\n";
    text += listSection("lstPlayers", {"2", "3", "4"}) + listSection("lstFirstPlayer", {"0", "1"});
    for (int n = 1; n <= 4; ++n)
        text += listSection("lstAiControl" + std::to_string(n), {"0", "1"}) +
                listSection("lstAiDifficulty" + std::to_string(n), {"1", "3", "5"});
    return text;
}

// The selections ('-' for none), or with `enabled` the enabled flags, of the lists named, one
// character each; by default the player count, the first player, and then the control and the
// difficulty of players 1 to 4.
std::string lists(Menu& menu, bool enabled = false,
                  std::vector<std::string> names = {
                      "lstPlayers", "lstFirstPlayer", "lstAiControl1", "lstAiDifficulty1",
                      "lstAiControl2", "lstAiDifficulty2", "lstAiControl3", "lstAiDifficulty3",
                      "lstAiControl4", "lstAiDifficulty4"}) {
    std::string result;
    for (const std::string& name : names) {
        const ListBox* list = widget(menu, name);
        result += enabled ? (list->enabled ? '1' : '0')
                          : (list->selected < 0 ? '-' : static_cast<char>('0' + list->selected));
    }
    return result;
}

std::string settingsScreen() {
    return "[control]\nType = SettingsControl\niniFile = settings.ini\n" +
           listSection("lstBlackTiles", {"0", "0.01", "0.05", "0.1"}) +
           listSection("lstResolution",
                       {"800 600", "1024 768", "1280 1024", "1 2 3", "800x600", " 640", "1 "}) +
           listSection("lstVolume",
                       {"0", "12", "25", "38", "51", "64", "76", "89", "102", "115", "128"});
}

}  // namespace

TEST(MenuFactory, EverySectionGivesAWidgetWithItsKeys) {
    auto menu = loadMenu(
        "[a\\b.c]\nType = listbox\n"
        "[panel]\nType = PANEL\nLeft = 0.25\ncolRed = 0.5\ntextColBlue = 1\n"
        "[colours]\nType = PlayerTurnButton\nColour = 3\ncolRed = 1\ncolAlpha = 0.2\n"
        "[odd]\nType = PlayerTurnButton\nColour = 12\n"
        "[misspelt]\nType = Buton\n"
        "[text]\nType = TextBox\nText = \"  Hello = world  \"\n"
        "[go]\nType = NewMapButton\nmapToLoad = Menus\\newGame.ini\ntext = Start\nRow = 2\n"
        "Column = 3\nuseController = 0\n"
        "[text]\nType = Panel\n[]\nType = Panel\n");
    ASSERT_EQ(menu->objectCount(), 9);
    EXPECT_EQ(menu->objectAt(0)->name(), "b");
    EXPECT_NE(dynamic_cast<ListBox*>(menu->objectAt(0)), nullptr);
    EXPECT_EQ(menu->objectAt(8)->name(), "");  // an unnamed section still gives a widget

    auto* panel = widget<Panel>(*menu, "panel");
    EXPECT_EQ(menu->getObject("Panel"), nullptr);
    EXPECT_DOUBLE_EQ(panel->Left, 0.25);
    EXPECT_DOUBLE_EQ(panel->Right, 0.0);  // a missing edge is 0, not the class default
    EXPECT_EQ(panel->colour, (std::array<float, 4>{0.5f, 0, 0, 1}));
    EXPECT_EQ(panel->textColour, (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(panel->owner, menu.get());

    // The colour button takes its fill from the palette, never from the col keys; a colour
    // outside the palette is clamped into it, and reported.
    auto* colours = widget<PlayerTurnButton>(*menu, "colours");
    EXPECT_EQ(colours->colourIndex, 3);
    EXPECT_EQ(colours->colour, (std::array<float, 4>{PlayerColours[3][0], PlayerColours[3][1],
                                                     PlayerColours[3][2], 1}));
    EXPECT_EQ(widget<PlayerTurnButton>(*menu, "odd")->colourIndex, 8);
    EXPECT_FLOAT_EQ(widget<PlayerTurnButton>(*menu, "odd")->colour[0], PlayerColours[8][0]);

    // A widget without a class is a plain one, and says so each time it is drawn.
    auto* misspelt = widget<HudObject>(*menu, "misspelt");
    EXPECT_FALSE(misspelt->isMenuItem());
    misspelt->draw();
    EXPECT_EQ(readFile("debug.log"),
              "Error: PlayerTurnButton colour 12 is outside 0..8, using 8\n"
              "Error: HudObject::draw() called from base class\n");

    // Two sections of one name give two widgets; lookups find the first.
    EXPECT_EQ(*widget<TextBox>(*menu, "text")->text(), "  Hello = world  ");
    auto* go = widget<NewMapButton>(*menu, "go");
    EXPECT_EQ(go->mapToLoad + "|" + go->text, "Menus\\newGame.ini|Start");
    EXPECT_FALSE(go->useController);
    EXPECT_EQ(std::make_pair(go->row, go->column), std::make_pair(2, 3));
}

TEST(MouseRouting, ItemsActInOrderOnPressOrReleaseAndEveryOneUnloadsBeforeAnyIsDestroyed) {
    std::vector<std::string> log;
    {
        auto menu = loadMenu(numberList(5));
        RecordingButton* first = addButton(*menu, log, "first", 0.1, 0.1, 0.5, 0.5);
        addButton(*menu, log, "line", 0.3, 0.1, 0.3, 0.5)->executeOnPress = true;  // zero width
        addButton(*menu, log, "elsewhere", 0.6, 0.6, 0.7, 0.7);
        RecordingButton* disabled = addButton(*menu, log, "off", 0.2, 0.2, 0.4, 0.4);
        disabled->enabled = false;
        // Bounds are inclusive; a button acting on the press acts then and only then; disabled
        // items are never hovered, but the press reaches them (buttons test enabled themselves).
        menu->mouseMoved(0.3, 0.3, 0, 0);
        EXPECT_FALSE(disabled->hovered);
        menu->mouseButtonPressed(0.3, 0.3, 1);
        EXPECT_TRUE(disabled->pressed);
        EXPECT_EQ(widget(*menu, "list")->mouseDown, 1);
        EXPECT_EQ(log, std::vector<std::string>{"line"});
        menu->mouseButtonReleased(0.3, 0.3, 1);
        EXPECT_EQ(log, (std::vector<std::string>{"line", "first", "off"}));
        // A release far away still reaches every item.
        menu->mouseButtonPressed(0.2, 0.12, 1);
        menu->mouseButtonReleased(5.0, 5.0, 1);
        EXPECT_EQ(widget(*menu, "list")->mouseDown, 0);
        EXPECT_EQ(widget(*menu, "list")->selected, 0);
        // Pressed, moved off, released there: nothing, nor on a later release over it; moved off
        // and back before the release: it acts.
        log.clear();
        menu->mouseButtonPressed(0.45, 0.45, 1);
        menu->mouseMoved(0.9, 0.9, 0, 0);
        EXPECT_FALSE(first->highlighted);
        menu->mouseButtonReleased(0.9, 0.9, 1);
        menu->mouseMoved(0.45, 0.45, 0, 0);
        menu->mouseButtonReleased(0.45, 0.45, 1);
        EXPECT_TRUE(log.empty());
        menu->mouseButtonPressed(0.45, 0.45, 1);
        menu->mouseMoved(0.9, 0.9, 0, 0);
        menu->mouseMoved(0.45, 0.45, 0, 0);
        EXPECT_TRUE(first->highlighted);
        menu->mouseButtonReleased(0.45, 0.45, 1);
        EXPECT_EQ(log, std::vector<std::string>{"first"});
        EXPECT_FALSE(first->pressed);
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"unload first", "unload line", "unload elsewhere",
                                             "unload off", "destroyed first", "destroyed line",
                                             "destroyed elsewhere", "destroyed off"}));
}

TEST(ButtonPresses, QuitNewMapAndColourButtonsReachTheEngineTheControllerOrTheBoard) {
    GameEngine engine;
    engine.running = true;
    auto menu = loadMenu(
        "[quit]\nType = QuitButton\n[go]\nType = NewMapButton\nmapToLoad = Menus\\settings.ini\n"
        "[direct]\nType = NewMapButton\nmapToLoad = board.ini\nuseController = 0\n"
        "[red]\nType = PlayerTurnButton\nColour = 1\n");
    widget<QuitButton>(*menu, "quit")->execute();
    EXPECT_FALSE(engine.running);
    // A menu the engine shows by itself has no controller: the engine changes the screen.
    auto* go = widget<NewMapButton>(*menu, "go");
    go->execute();
    EXPECT_TRUE(engine.mapChangePending);
    EXPECT_EQ(engine.nextMapName, "Menus\\settings.ini");
    engine.mapChangePending = false;
    MenuController controller;
    menu->parent = &controller;
    go->execute();
    EXPECT_EQ(controller.pendingMenu, "Menus\\settings.ini");
    EXPECT_FALSE(engine.mapChangePending);
    widget<NewMapButton>(*menu, "direct")->execute();
    EXPECT_EQ(engine.nextMapName, "board.ini");

    // The colour button follows the board; outside a HUD it reports and does nothing.
    auto* red = widget<PlayerTurnButton>(*menu, "red");
    GameBoard board;
    menu->parent = &board;
    red->enabled = false;
    red->cycleUpdate();
    EXPECT_TRUE(red->enabled);
    EXPECT_FALSE(fileExists("debug.log"));
    menu->parent = nullptr;
    red->cycleUpdate();
    red->execute();
    red->owner = nullptr;
    red->cycleUpdate();
    red->execute();
    EXPECT_EQ(readFile("debug.log"),
              "Error: PlayerTurnButton attached to non HUD menu.\n"
              "Error: PlayerTurnButton attached to non HUD menu. Can't execute.\n"
              "Error: PlayerTurnButton: Unrecognised owner type\n"
              "PlayerTurnButton: cannot execute, unrecognised owner type\n");
}

TEST(ListBoxes, ItemsAreReadUpToMaxItemsAndChosenByClickDragOrValue) {
    const std::pair<const char*, std::size_t> cases[] = {{"", 100},
                                                         {"MaxItems = 120\n", 120},
                                                         {"MaxItems = 0\n", 0},
                                                         {"MaxItems = -4\n", 0},
                                                         {"MaxItems = many\n", 0}};
    for (const auto& [keys, read] : cases)
        EXPECT_EQ(widget(*loadMenu(numberList(120, keys)), "list")->items().size(), read) << keys;
    // Reading stops at the first item with neither text nor value.
    auto menu = loadMenu(
        "[list]\nType = ListBox\nvalue0 = 5\nitem1 = One\nitem2 = Two\nvalue2 = 2\nitem4 = Four\n");
    EXPECT_EQ(widget(*menu, "list")->items(), (std::vector<std::string>{"", "One", "Two"}));
    EXPECT_EQ(widget(*menu, "list")->values(), (std::vector<std::string>{"5", "", "2"}));

    menu = loadMenu(numberList(10, "itemHeight = 0.04\nitemGap = 0.01\n"));
    auto* list = widget(*menu, "list");
    EXPECT_EQ(list->selectedValue(), "");
    // Exactly at the top margin: item 0.
    menu->mouseButtonPressed(0.2, list->Top + list->itemGap, 1);
    EXPECT_EQ(list->selected, 0);
    // Dragging while the button is down follows the pointer.
    menu->mouseMoved(0.2, 0.1 + 0.002 + 0.04 * 2 + 0.01, 0, 0);
    EXPECT_EQ(list->selected, 2);
    EXPECT_FALSE(list->hovered);
    // Released far below the drawn rows: a hidden item can still be chosen.
    menu->mouseButtonReleased(0.2, 0.1 + 0.04 * 9 + 0.01, 1);
    EXPECT_EQ(list->selectedValue(), "90");
    // Without the button down, moving selects nothing; outside the side margins or above the
    // top: nothing; past the last item: nothing; an unknown value: nothing.
    menu->mouseMoved(0.2, 0.12, 0, 0);
    list->selectAt(0.105, 0.15);
    list->selectAt(0.2, 0.1);
    list->selectAt(0.2, 0.1 + 0.04 * 10 + 0.01);
    EXPECT_EQ(list->selected, 9);
    list->selectByValue("30");
    list->selectByValue("no such value");
    EXPECT_EQ(list->selected, 3);
    // Values match ignoring case.
    auto onOff = loadMenu(listSection("list", {"On", "Off"}));
    widget(*onOff, "list")->selectByValue("OFF");
    EXPECT_EQ(widget(*onOff, "list")->selectedValue(), "Off");
}

TEST(NewGameControl, SelectsFromTheFileFollowsTheSelectionsAndWritesThemWhenLeft) {
    // No [2]: the human entry and medium difficulty; [4] without a difficulty: medium.
    writeFile("players.ini",
              "[General]\nplayers = 3\nmapName = big\nrandomFirstPlayer = \"1\"\n"
              "[1]\nAI Controlled = 1\nDifficulty = 5\n"
              "[3]\nai controlled = 0\ndifficulty = 1\n[4]\nAI Controlled = 1\n");
    auto menu = loadMenu(newGameScreen());
    EXPECT_EQ(lists(*menu), "1112010011");
    // Each frame a human player's difficulty is greyed out, and the smallest player count greys
    // out players 2 and 4.
    menu->update();
    EXPECT_EQ(lists(*menu, true), "1111101011");
    widget(*menu, "lstPlayers")->selected = 0;
    menu->update();
    EXPECT_EQ(lists(*menu, true), "1111001000");
    // Back to four: the player lists return, their difficulty lists follow them.
    widget(*menu, "lstPlayers")->selected = 2;
    widget(*menu, "lstAiControl3")->selected = 1;
    widget(*menu, "lstAiControl1")->selected = 0;
    menu->update();
    EXPECT_EQ(lists(*menu, true), "1110101111");
    // Greyed out players' selections are still written; other keys are kept.
    widget(*menu, "lstPlayers")->selected = 0;
    widget(*menu, "lstAiDifficulty2")->selected = 2;
    menu->update();
    menu.reset();
    EXPECT_EQ(readFile("players.ini"),
              "[General]\nplayers = \"2\"\nmapName = \"big\"\nrandomFirstPlayer = \"1\"\n"
              "[1]\nAI Controlled = \"0\"\nDifficulty = \"5\"\n"
              "[3]\nai controlled = \"1\"\ndifficulty = \"1\"\n"
              "[4]\nAI Controlled = \"1\"\ndifficulty = \"3\"\n"
              "[2]\nAI Controlled = \"0\"\ndifficulty = \"5\"\n");
    std::remove("players.ini");
    EXPECT_EQ(lists(*loadMenu(newGameScreen())), "2001010101");
    // Unmatched values and partners of another kind or missing: nothing selected nor written.
    const std::string original =
        "[General]\nplayers = \"7\"\nrandomFirstPlayer = \"1\"\n"
        "[1]\nAI Controlled = \"1\"\ndifficulty = \"9\"\n";
    writeFile("players.ini", original);
    // lstFirstPlayer is a panel, player 1's list offers no "9", the others are missing.
    menu = loadMenu("[control]\nType = NewGameControl\niniFile = players.ini\n" +
                    listSection("lstPlayers", {"2", "3", "4"}) +
                    "[lstFirstPlayer]\nType = Panel\n" + listSection("lstAiControl1", {"0", "1"}) +
                    listSection("lstAiDifficulty1", {"1", "3", "5"}));
    EXPECT_EQ(lists(*menu, false, {"lstPlayers", "lstAiControl1", "lstAiDifficulty1"}), "-1-");
    menu->update();
    EXPECT_TRUE(widget(*menu, "lstPlayers")->enabled);
    menu.reset();
    EXPECT_EQ(readFile("players.ini"), original);
    EXPECT_FALSE(fileExists("debug.log"));
}

// A real audio device on SDL's dummy driver, owned by a live engine.
struct EngineWithAudio : GameEngine {
    EngineWithAudio() { audio = std::make_unique<AudioOutput>(); }
    ~EngineWithAudio() {
        audio.reset();
        SDL_Quit();
    }
};

TEST(SettingsControl, SelectsFromTheFileSetsTheVolumeAtOnceAndWritesTheFileWhenLeft) {
    writeFile("settings.ini",
              "[resolution]\nwidth = 1280\nheight = 1024\n[audio]\nMasterVolume = 51\n"
              "[game]\nblackTiles = 0.05\n");
    EngineWithAudio live;
    ASSERT_TRUE(live.audio->deviceOpen());
    EXPECT_EQ(live.audio->volume(), 51);
    live.audio->setVolume(7);
    auto menu = loadMenu(settingsScreen());
    EXPECT_EQ(lists(*menu, false, {"lstBlackTiles", "lstResolution", "lstVolume"}), "224");
    // Unchanged: the volume is left alone. Each new entry is heard from the next frame on, by
    // its position in the list.
    menu->update();
    EXPECT_EQ(live.audio->volume(), 7);
    const int expected[] = {0, 12, 25, 38, 51, 64, 76, 89, 102, 115, 128};
    for (int s : {3, 0, 10, 1, 6}) {
        widget(*menu, "lstVolume")->selected = s;
        menu->update();
        EXPECT_EQ(live.audio->volume(), expected[s]) << s;
    }
    menu.reset();
    EXPECT_TRUE(live.videoRestartPending);
    EXPECT_EQ(readFile("settings.ini"),
              "[resolution]\nwidth = \"1280\"\nheight = \"1024\"\n[audio]\nMasterVolume = \"76\"\n"
              "[game]\nblackTiles = \"0.05\"\n");
    // Without a file, the defaults; shown without a controller, a new resolution asks nothing.
    std::remove("settings.ini");
    menu = loadMenu(settingsScreen());
    EXPECT_EQ(lists(*menu, false, {"lstBlackTiles", "lstResolution", "lstVolume"}), "11:");
    widget(*menu, "lstResolution")->selected = 0;
    menu->update();
    menu.reset();
    EXPECT_EQ(readFile("settings.ini"),
              "[game]\nblackTiles = \"0.01\"\n[resolution]\nwidth = \"800\"\n"
              "height = \"600\"\n[audio]\nMasterVolume = \"128\"\n");
    // A volume "list" that is a text box: the volume is neither set nor written.
    const std::string original = "[audio]\nMasterVolume = \"64\"\n";
    writeFile("settings.ini", original);
    live.videoRestartPending = false;
    menu = loadMenu(
        "[control]\nType = SettingsControl\niniFile = settings.ini\n"
        "[lstVolume]\nType = TextBox\nText = 128\n");
    menu->update();
    EXPECT_EQ(live.audio->volume(), 76);
    menu.reset();
    EXPECT_EQ(readFile("settings.ini"), original);
    EXPECT_TRUE(live.videoRestartPending);
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(SettingsControl, ResolutionsAreSplitAtTheLastInnerSpaceAndANewOneAsksForANewDisplay) {
    // One the list does not offer (-1) is never replaced by a default.
    const std::pair<int, std::string> cases[] = {
        {2, "1280\"\nheight = \"1024"}, {3, "1 2\"\nheight = \"3"},
        {4, "1366\"\nheight = \"768"},  {5, "1366\"\nheight = \"768"},
        {6, "1366\"\nheight = \"768"},  {-1, "1366\"\nheight = \"768"}};
    for (const auto& [selection, size] : cases) {
        writeFile("settings.ini", "[resolution]\nwidth = 1366\nheight = 768\n");
        MenuController controller;
        auto menu = loadMenu(settingsScreen(), &controller);
        widget(*menu, "lstResolution")->selected = selection;
        menu->update();
        EXPECT_EQ(controller.displayResetRequested, selection != -1) << selection;
        menu.reset();
        EXPECT_EQ(readFile("settings.ini"),
                  "[resolution]\nwidth = \"" + size +
                      "\"\n[game]\nblackTiles = \"0.01\"\n[audio]\nMasterVolume = \"128\"\n")
            << selection;
    }
}
