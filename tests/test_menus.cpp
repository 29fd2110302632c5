// Menus built from ini files: the widget factory and its keys, mouse routing, buttons and list
// boxes, the new-game and settings screens (their lists, the files written when they go away, the
// volume and the display rebuild), and the in-game display: score texts and player panels
// following a board filled by hand, the score screen's ranking and layout, and how the widgets
// cope without a board or with odd records; and map objects: the record format their property
// registry reads and writes, tiles out of map packages, and the start cell's turn. Nothing here
// draws.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/game_engine.h"
#include "game/emitter.h"
#include "game/player_start.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/new_map_button.h"
#include "menus/player_panel.h"
#include "menus/player_score_text.h"
#include "menus/player_turn_button.h"
#include "menus/quit_button.h"
#include "platform/platform.h"
#include "render/player_colours.h"
#include "resources/object_factory.h"
#include "resources/package_writer.h"
#include "support/image_files.h"
#include "support/test_boards.h"

using namespace testing_support;

namespace {

// Loads a menu file whose parent is set before loading, as the board does for its score menu.
std::unique_ptr<Menu> loadMenu(const std::string& text, Map* parent = nullptr) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    menu->parent = parent;
    EXPECT_TRUE(menu->load("menu.ini", true));
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
    std::tie(raw->Left, raw->Top, raw->Right, raw->Bottom) = std::tie(left, top, right, bottom);
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

// A host that only takes the frame's time; every other request is ignored.
struct PacingHost : ScreenHost {
    std::vector<std::uint32_t> dues;
    void requestQuit() override {}
    void requestMapChange(const std::string&) override {}
    void requestVideoRestart() override {}
    void restartDisplay() override {}
    StaticBatch* staticBatch() override { return nullptr; }
    void drawFrameNow() override {}
    bool showNextFrameAt(std::uint32_t due) override {
        dues.push_back(due);
        return true;
    }
    void playSound(const std::string&) override {}
    void setMasterVolume(int) override {}
};

struct PlayerSetup {
    std::int32_t score;
    std::int32_t colour;  // of the start cell, as held and as a tile
    bool active = true;
};

// A board with one record and one start cell per entry, record i having index i.
struct FilledBoard {
    explicit FilledBoard(const std::vector<PlayerSetup>& setups) : starts(setups.size()) {
        board.numPlayers = static_cast<std::int32_t>(setups.size());
        for (std::size_t i = 0; i < setups.size(); ++i) {
            starts[i].playerColour = starts[i].colour = setups[i].colour;
            Player& record = board.players.emplace_back();
            record.index = static_cast<std::int32_t>(i);
            record.shownScore = setups[i].score;
            record.score = -1;  // never shown
            record.active = setups[i].active;
            record.startTile = &starts[i];
        }
    }
    std::vector<PlayerStart> starts;
    GameBoard board;
};

std::string shownText(const TextBox* box) {
    return box->text() != nullptr ? *box->text() : std::string("<null>");
}

using Rgba = std::array<float, 4>;

std::vector<float> rgb(const float* c) {
    return {c[0], c[1], c[2]};
}

// Score texts and panels for players 0 .. count - 1, the texts a quarter green, the panels red.
std::string hudFile(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "[score" + std::to_string(i) +
                "]\nType = PlayerScoreText\nPlayer = " + std::to_string(i) +
                "\ntextColGreen = 0.25\n[panel" + std::to_string(i) +
                "]\nType = PlayerPanel\nplayer = " + std::to_string(i) +
                "\ncolRed = 0.4\ncolAlpha = 0.5\n";
    return text;
}

// The score screen: labels and scores in four rows 0.1 apart, two background panels.
std::string scoreFile() {
    std::string text =
        "[panel1]\nType = Panel\nLeft = 0.2\nRight = 0.5\nTop = 0.1\nBottom = 0.5\n"
        "[panel2]\nType = Panel\nLeft = 0.5\nRight = 0.8\nTop = 0.1\nBottom = 0.5\n";
    for (int k = 1; k <= 4; ++k) {
        const std::string n = std::to_string(k);
        const std::string rows = "\nTop = " + std::to_string(0.1 * k) + "\nBottom = 0.9\n";
        text += "[text" + n + "]\nType = TextBox\nText = " + n + "\nLeft = 0.25" + rows;
        text += "[score" + n + "]\nType = PlayerScoreText\nPlayer = " + std::to_string(k - 1) +
                "\nLeft = 0.55" + rows;
    }
    return text + "[control]\nType = ScoreControl\n";
}

// Colour 5, row 2, col 3; uniform scale; no mesh nor texture; position, rotation (no bytes),
// scale.
std::string tileRecord() {
    ByteWriter out;
    out.u32(5).u32(2).u32(3).f32(0.5f).u16(0).u16(0);
    for (float value : {1, 2, 3, 4, 5, 6})
        out.f32(value);
    return out.bytes();
}

// One field of every kind, in registration order.
struct EveryKind : MapObject {
    EveryKind() {
        registerInt(&number);
        registerFloat(&real);
        registerBool(&flag);
        registerDouble(&wide);
        registerString(&words);
        registerReference(ReferenceField{[this] { return target; },
                                         [this](StoredObject* found) { target = found; },
                                         [](const StoredObject&) { return true; }});
        registerStoredVariable(&place);
    }
    std::int32_t number = 0;
    float real = 0;
    bool flag = false;
    double wide = 0;
    std::string words;
    StoredObject* target = nullptr;
    Vector place;
};

std::string saved(MapObject& object) {
    EXPECT_TRUE(object.save());
    return std::string(object.data().begin(), object.data().end());
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
    EXPECT_DOUBLE_EQ(panel->Left, 0.25);
    EXPECT_DOUBLE_EQ(panel->Right, 0.0);  // a missing edge is 0, not the class default
    EXPECT_EQ(panel->colour, (std::array<float, 4>{0.5f, 0, 0, 1}));
    EXPECT_EQ(panel->textColour, (std::array<float, 4>{0, 0, 1, 1}));

    // The colour button takes its fill from the palette, never from the col keys; a colour
    // outside the palette is clamped into it, and reported.
    auto* colours = widget<PlayerTurnButton>(*menu, "colours");
    EXPECT_EQ(colours->colourIndex, 3);
    EXPECT_EQ(colours->colour, (std::array<float, 4>{PlayerColours[3][0], PlayerColours[3][1],
                                                     PlayerColours[3][2], 1}));
    EXPECT_EQ(widget<PlayerTurnButton>(*menu, "odd")->colourIndex, 8);

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

TEST(MenuItems, ActInOrderOnPressOrReleaseUnloadBeforeAnyIsDestroyedAndReachTheirTargets) {
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
        // Pressed, moved off, released there: nothing; moved off and back before the release: it
        // acts.
        log.clear();
        menu->mouseButtonPressed(0.45, 0.45, 1);
        menu->mouseMoved(0.9, 0.9, 0, 0);
        EXPECT_FALSE(first->highlighted);
        menu->mouseButtonReleased(0.9, 0.9, 1);
        EXPECT_TRUE(log.empty());
        menu->mouseButtonPressed(0.45, 0.45, 1);
        menu->mouseMoved(0.9, 0.9, 0, 0);
        menu->mouseMoved(0.45, 0.45, 0, 0);
        menu->mouseButtonReleased(0.45, 0.45, 1);
        EXPECT_EQ(log, std::vector<std::string>{"first"});
        EXPECT_FALSE(first->pressed);
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"unload first", "unload line", "unload elsewhere",
                                             "unload off", "destroyed first", "destroyed line",
                                             "destroyed elsewhere", "destroyed off"}));
    // The quit, new-map and colour buttons reach the engine, the controller or the board.
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
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 100}, {"MaxItems = 120\n", 120}, {"MaxItems = -4\n", 0}, {"MaxItems = many\n", 0}};
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
}

TEST(NewGameControl, SelectsFromTheFileFollowsTheSelectionsAndWritesThemWhenLeft) {
    // No [2]: the human entry and medium difficulty; [4] without a difficulty: medium.
    writeFile("players.ini",
              "[General]\nplayers = 3\nmapName = big\nrandomFirstPlayer = \"1\"\n"
              "[1]\nAI Controlled = 1\nDifficulty = 5\n"
              "[3]\nai controlled = 0\ndifficulty = 1\n[4]\nAI Controlled = 1\n");
    auto menu = loadMenu(newGameScreen());
    EXPECT_EQ(lists(*menu), "1112010011");
    // Each frame the smallest player count greys out players 2 and 4, and a human player's
    // difficulty is greyed out.
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
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(SettingsControl, SelectsFromTheFileSetsTheVolumeAtOnceAndWritesTheFileWhenLeft) {
    writeFile("settings.ini",
              "[resolution]\nwidth = 1280\nheight = 1024\n[audio]\nMasterVolume = 51\n"
              "[game]\nblackTiles = 0.05\n");
    GameEngine live;  // with a real audio device on SDL's dummy driver
    live.audio = std::make_unique<AudioOutput>();
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
    EXPECT_FALSE(fileExists("debug.log"));
    live.audio.reset();
    SDL_Quit();
    // Resolutions are split at their last inner space, and a new one asks the controller for a new
    // display. One the list does not offer (-1) is never replaced by a default.
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

TEST(PlayerScoreText, ShowsTheScoreInThePlayersColourThePanelLightsUpAndRecordsAreFoundByIndex) {
    // Colours 3 (drawn lighter than the table's blue, on turn or not), 5, 0 (uncoloured: dark
    // grey on turn only), 9 and -1 (outside the table: the text colour stays) and one inactive.
    FilledBoard filled({{23, 3}, {17, 5}, {-4, 0}, {5, 9}, {6, -1}, {7, 1, false}});
    auto menu = loadMenu(hudFile(6), &filled.board);
    const std::vector<float> green = {0, 0.25f, 0};
    const std::vector<float> offTurn[] = {
        {0.12f, 0.2f, 1.0f}, rgb(PlayerColours[5]), rgb(PlayerColours[0]), green, green};
    // On its turn a panel takes the dark palette (one outside it stays as it was); off turn it
    // is black, keeping its alpha (the file's, or the palette's once it was on turn).
    const Rgba black = {0, 0, 0, 0.5f};
    const Rgba onTurn[] = {{0, 0, 0.45f, 1}, black, {0.3f, 0.3f, 0.3f, 1}, black, black};
    // Once the game is over turnPlayer points past the records: nobody is on turn.
    for (int turn : {0, 2, 3, 6}) {
        filled.board.turnPlayer = turn;
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(std::to_string(i) + " on turn " + std::to_string(turn));
            auto* score = widget<PlayerScoreText>(*menu, "score" + std::to_string(i));
            auto* panel = widget<PlayerPanel>(*menu, "panel" + std::to_string(i));
            score->cycleUpdate();
            EXPECT_EQ(shownText(score), std::to_string(filled.board.players[i].shownScore));
            EXPECT_EQ(rgb(score->textColour.data()),
                      i == 2 && turn == 2 ? rgb(PlayerColours[8]) : offTurn[i]);
            ASSERT_TRUE(panel->refresh());
            EXPECT_EQ(panel->colour,
                      i == turn ? onTurn[i] : (Rgba{0, 0, 0, i < turn ? onTurn[i][3] : 0.5f}));
        }
    }
    // An inactive player shows nothing, and its panel is not drawn even on its turn.
    filled.board.turnPlayer = 5;
    widget<PlayerScoreText>(*menu, "score5")->setText("old");
    widget<PlayerScoreText>(*menu, "score5")->cycleUpdate();
    EXPECT_EQ(widget<PlayerScoreText>(*menu, "score5")->text(), nullptr);
    EXPECT_FALSE(widget<PlayerPanel>(*menu, "panel5")->refresh());
    EXPECT_FALSE(fileExists("debug.log"));
    // Records are found by their index, at positions 1 and 2 swapped as the board does for two
    // players on three cells.
    FilledBoard swapped({{10, 1}, {20, 2}, {30, 4}});
    std::swap(swapped.board.players[1], swapped.board.players[2]);
    menu = loadMenu(
        "[a]\nType = PlayerScoreText\nPlayer = 1\n[b]\nType = PlayerScoreText\nPlayer = 2\n"
        "[c]\nType = PlayerScoreText\nPlayer = 7\n[d]\nType = PlayerScoreText\nPlayer = -1\n",
        &swapped.board);
    const char* expected[] = {"20", "30", "<null>", "<null>"};  // no such number: nothing
    for (int i = 0; i < 4; ++i) {
        auto* score = widget<PlayerScoreText>(*menu, std::string(1, static_cast<char>('a' + i)));
        score->cycleUpdate();
        EXPECT_EQ(shownText(score), expected[i]) << i;
    }
    // The turn is judged by the record at turnPlayer carrying this widget's number.
    swapped.board.players[1].startTile->playerColour = 0;  // index 2 now sits at position 1
    swapped.board.turnPlayer = 1;
    widget<PlayerScoreText>(*menu, "b")->cycleUpdate();
    EXPECT_EQ(rgb(widget<PlayerScoreText>(*menu, "b")->textColour.data()), rgb(PlayerColours[8]));
    GameBoard empty;
    empty.numPlayers = 4;  // a board whose description failed: the count says more than exists
    menu = loadMenu(hudFile(1) + scoreFile(), &empty);
    auto* score = widget<PlayerScoreText>(*menu, "score0");
    auto* panel = widget<PlayerPanel>(*menu, "panel0");
    EXPECT_FALSE(panel->refresh());
    for (const char* name : {"score1", "score2", "score3", "score4"})  // no score rows either
        EXPECT_FALSE(widget<PlayerScoreText>(*menu, name)->visible) << name;
    EXPECT_FALSE(fileExists("debug.log"));
    // No board at all: reported, and the state is kept.
    MenuController controller;
    menu->parent = &controller;
    score->setText("12");
    score->cycleUpdate();
    EXPECT_EQ(shownText(score), "12");
    EXPECT_FALSE(panel->refresh());
    EXPECT_FLOAT_EQ(panel->colour[0], 0.4f);
    menu->parent = nullptr;
    score->cycleUpdate();
    // A widget outside any screen, and one placed on the board itself.
    PlayerScoreText loose;
    loose.cycleUpdate();
    const std::string notHud = "Error: PlayerScoreText attached to non HUD menu.\n";
    EXPECT_EQ(readFile("debug.log"),
              notHud + notHud + notHud + "Error: PlayerScoreText: Unrecognised owner type\n");
    loose.owner = &swapped.board;
    loose.cycleUpdate();
    EXPECT_EQ(shownText(&loose), "10");
}

TEST(ScoreScreen, RanksThePlayersIntoTheMiddleRowsAndOpensWhenTheLastCellIsTaken) {
    const struct {
        std::vector<PlayerSetup> players;
        const char* labels;  // of the four rows, "-" for an empty one
        const char* shown;   // whose score each row shows, "-" for none
        double top;          // of the panels
        double bottom;
    } cases[] = {
        // Shared first place; the winners' labels move right.
        {{{12, 1}, {30, 2}, {30, 6}, {5, 4}}, "1134", "1203", 0.1, 0.5},
        {{{3, 1}, {1, 2, false}, {9, 3}, {6, 4}}, "123-", "230-", 0.1, 0.4},
        {{{20, 1}, {1, 2, false}, {44, 3}, {1, 4, false}}, "-12-", "-20-", 0.2, 0.4},
        {{{8, 1}}, "-1--", "-0--", 0.2, 0.4},
        // Six start cells: the best four fill the rows.
        {{{1, 1}, {6, 2}, {2, 3}, {5, 4}, {3, 5}, {4, 6}}, "1234", "1354", 0.1, 0.5},
    };
    for (const auto& c : cases) {
        FilledBoard filled(c.players);
        auto menu = loadMenu(scoreFile(), &filled.board);
        for (int k = 0; k < 4; ++k) {
            auto* label = widget<TextBox>(*menu, "text" + std::to_string(k + 1));
            auto* score = widget<PlayerScoreText>(*menu, "score" + std::to_string(k + 1));
            SCOPED_TRACE(std::string(c.labels) + " row " + std::to_string(k));
            EXPECT_EQ(shownText(label), c.labels[k] == '-' ? "" : std::string(1, c.labels[k]));
            EXPECT_EQ(score->visible, c.shown[k] != '-');
            if (c.shown[k] == '-')
                continue;
            const PlayerSetup& player = c.players[static_cast<std::size_t>(c.shown[k] - '0')];
            EXPECT_EQ(score->player, c.shown[k] - '0');
            EXPECT_EQ(rgb(label->textColour.data()), rgb(PlayerColours[player.colour]));
            EXPECT_DOUBLE_EQ(label->Left, c.labels[k] == '1' ? 0.253 : 0.25);
            score->cycleUpdate();
            EXPECT_EQ(shownText(score), std::to_string(player.score));
        }
        for (const char* name : {"panel1", "panel2"}) {
            EXPECT_NEAR(widget<Panel>(*menu, name)->Top, c.top, 1e-12) << name;
            EXPECT_NEAR(widget<Panel>(*menu, name)->Bottom, c.bottom, 1e-12) << name;
        }
    }
    EXPECT_FALSE(fileExists("debug.log"));
    // It opens when the last cell is taken, on a board of cells and sparks with a paced frame
    // clock.
    writeFile("board.ini", testing_support::boardDescription({"A1#", "12#"}, 1));
    writeFile("players.ini", "[1]\nDifficulty = 1\n");
    GameBoard board;
    board.load("board.ini", true);
    board.additionalSetup();
    EXPECT_EQ(board.players[0].difficulty, 1);  // as players.ini says
    for (const Tile* tile : board.tiles()) {
        ASSERT_NE(tile->emitter, nullptr);
        EXPECT_EQ(tile->emitter->colour, tile->colour);
        EXPECT_EQ(tile->emitter->owner, &board);
    }
    EXPECT_EQ(board.objectCount(), 12);
    // The frame clock: a delay that ended a tick early leaves it a little ahead of now, and the
    // next frame still waits for its time.
    board.update();
    board.lastFrameTime = platform::milliseconds() + 2;
    const std::uint32_t due = board.lastFrameTime + static_cast<std::uint32_t>(board.framePeriod);
    board.update();
    EXPECT_GE(static_cast<std::int32_t>(platform::milliseconds() - due), 0);
    EXPECT_EQ(board.lastFrameTime, due);
    // A host that shows frames is handed the frame's time and waits for it itself, right before
    // showing the frame: the board does not wait (here a second ahead).
    PacingHost host;
    board.host = &host;
    board.lastFrameTime = platform::milliseconds() + 1000;
    const std::uint32_t shownAt =
        board.lastFrameTime + static_cast<std::uint32_t>(board.framePeriod);
    const std::uint32_t started = platform::milliseconds();
    board.update();
    EXPECT_EQ(host.dues, std::vector<std::uint32_t>{shownAt});
    EXPECT_LT(platform::milliseconds() - started, 1000u);
    EXPECT_EQ(board.lastFrameTime, shownAt);
    board.host = nullptr;
    board.takeTurn(1);
    EXPECT_TRUE(board.isGameOver());
    ASSERT_NE(board.scoresMenu, nullptr);
}

TEST(MapObjectRecords, AStartCellLoadsAndSavesATileRecordByteForByteAndTurnsOnlyOnItsTurn) {
    std::istringstream in(tileRecord());
    PlayerStart cell;                    // the same record as a tile: its own fields are not stored
    EXPECT_FALSE(cell.load(in, "MAP"));  // only the map tag is read
    EXPECT_EQ(in.tellg(), 0);
    ASSERT_TRUE(cell.load(in, "map"));
    EXPECT_EQ((std::vector<int>{cell.colour, cell.row, cell.col}), (std::vector<int>{5, 2, 3}));
    EXPECT_EQ((std::vector<float>{cell.uniformScale, cell.position.z, cell.scale.x}),
              (std::vector<float>{0.5f, 3, 4}));
    EXPECT_EQ(in.peek(), std::char_traits<char>::eof());  // nothing was read for the rotation
    cell.resolveReferences();
    EXPECT_TRUE(cell.mesh == nullptr && cell.texture == nullptr);
    EXPECT_EQ(saved(cell), tileRecord());
    EXPECT_TRUE(cell.owned);
    // The start cell turns while its player is to move, and snaps back.
    // 270 degrees plus 33 ms at 0.045 degrees a millisecond, in whole units.
    EXPECT_EQ(turnedAngle(0xC000, 33), 49422);
    EXPECT_EQ(turnedAngle(65535, 33), 269);  // past a full turn it starts again
    cell.rotation = Rotation(1, 2, 3);
    cell.update(33);  // no board: never its turn
    EXPECT_EQ((std::vector<int>{cell.rotation.a, cell.rotation.b, cell.rotation.c}),
              (std::vector<int>{0, 0, PlayerStart::restingAngle}));
}

TEST(MapObjectRecords, LongTextsAndEveryKindRoundTripAndPackagesMakeObjectsByTypeId) {
    EveryKind written;
    written.number = -7;
    written.real = 1.25f;
    written.flag = true;
    written.wide = 0.1;  // narrowed to single precision in the record
    written.words = std::string(2000, 'w');
    StoredObject referenced;
    referenced.setName(std::string(2000, 'r'));
    written.target = &referenced;
    written.place = Vector(1, 2, 3);
    const std::string record = saved(written);
    EXPECT_EQ(record.size(), 4u + 4 + 4 + 1 + 2 + 2000 + 2 + 2000 + 12);

    // Read back, every field is as written: saved again, it gives the same record.
    std::istringstream in(record);
    EveryKind read;
    ASSERT_TRUE(read.load(in, "map"));
    EXPECT_DOUBLE_EQ(read.wide, static_cast<double>(0.1f));
    ASSERT_EQ(read.propertyRegistry->referenceTexts, std::vector<std::string>{referenced.name()});
    read.releaseReferenceData();
    EXPECT_TRUE(read.propertyRegistry->referenceTexts.empty());
    read.target = &referenced;
    EXPECT_EQ(saved(read), record);
    // Tiles and the HUD's widgets come out of map packages by their type ids.
    std::string error;
    const std::string tile = ByteWriter().u32(35).bytes() + tileRecord();
    const std::string start = ByteWriter().u32(36).bytes() + tileRecord();
    ASSERT_TRUE(writePackage("board.map",
                             {PackageRecord{"cell", {tile.begin(), tile.end()}},
                              PackageRecord{"start", {start.begin(), start.end()}}},
                             error));
    Map screen;
    ASSERT_TRUE(screen.load("board.map", true));
    ASSERT_EQ(screen.objectCount(), 2);
    EXPECT_TRUE(screen.getObject("cell")->isTile());
    EXPECT_EQ(screen.getObject("start")->getTypeId(), 36);
    EXPECT_EQ(static_cast<Tile*>(screen.getObject("start"))->col, 3);
    // The HUD's classes by their ids.
    std::istringstream empty;
    for (std::int32_t id = 18; id <= 22; ++id) {
        auto object = createStoredObject(id, empty);
        EXPECT_TRUE(object != nullptr && object->getTypeId() == id && object->isHudObject()) << id;
    }
}
