// Menus built from ini files: the widget factory and its keys, mouse routing, the buttons' press
// and release logic, and list boxes. No window is needed: nothing here draws.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

std::unique_ptr<Menu> loadMenu(const std::string& text) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    EXPECT_TRUE(menu->load("menu.ini", true));
    menu->host = gameEngine();
    return menu;
}

template <typename T>
T* widget(Menu& menu, const std::string& name) {
    return static_cast<T*>(menu.getObject(name));
}

// A button that notes when it acts, to see the order in which overlapping buttons act.
class RecordingButton : public Button {
  public:
    RecordingButton(std::vector<std::string>& log, const std::string& name) : log_(log) {
        executeOnPress = false;
        setName(name);
    }
    void execute() override { log_.push_back(name()); }

  private:
    std::vector<std::string>& log_;
};

RecordingButton* addButton(Menu& menu, std::vector<std::string>& log, const std::string& name,
                           double left, double top, double right, double bottom) {
    auto button = std::make_unique<RecordingButton>(log, name);
    button->Left = left;
    button->Top = top;
    button->Right = right;
    button->Bottom = bottom;
    button->owner = &menu;
    RecordingButton* raw = button.get();
    menu.addObject(std::move(button));
    return raw;
}

std::string listSection(const std::string& extraKeys, int items) {
    std::string text =
        "[list]\nType = ListBox\nLeft = 0.1\nRight = 0.5\nTop = 0.1\nBottom = 0.3\n" + extraKeys;
    for (int i = 0; i < items; ++i) {
        text += "item" + std::to_string(i) + " = Item " + std::to_string(i) + "\n";
        text += "value" + std::to_string(i) + " = " + std::to_string(i * 10) + "\n";
    }
    return text;
}

}  // namespace

TEST(MenuFactory, TypesAreMatchedIgnoringCaseAndKeysTakeTheirDefaults) {
    ScratchDirectory scratch;
    auto menu = loadMenu(
        "[a\\b.c]\nType = listbox\n"
        "[panel]\nType = PANEL\nLeft = 0.25\ncolRed = 0.5\ntextColBlue = 1\n"
        "[colours]\nType = PlayerTurnButton\nColour = 3\ncolRed = 1\ncolAlpha = 0.2\n"
        "[odd]\nType = PlayerTurnButton\nColour = 12\n"
        "[misspelt]\nType = Buton\n"
        "[untyped]\n"
        "[text]\nType = TextBox\nText = \"  Hello = world  \"\n"
        "[go]\nType = NewMapButton\nmapToLoad = Menus\\newGame.ini\ntext = Start\nRow = 2\n"
        "Column = 3\nuseController = 0\n");
    ASSERT_EQ(menu->objectCount(), 8);
    EXPECT_EQ(menu->objectAt(0)->name(), "b");
    EXPECT_EQ(menu->objectAt(0)->getTypeId(), 27);

    auto* panel = widget<Panel>(*menu, "panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_DOUBLE_EQ(panel->Left, 0.25);
    EXPECT_DOUBLE_EQ(panel->Right, 0.0);  // a missing edge is 0, not the class default
    EXPECT_FLOAT_EQ(panel->colour[0], 0.5f);
    EXPECT_FLOAT_EQ(panel->colour[3], 1.0f);
    EXPECT_FLOAT_EQ(panel->textColour[2], 1.0f);
    EXPECT_FLOAT_EQ(panel->textColour[3], 1.0f);
    EXPECT_EQ(panel->owner, menu.get());

    // The colour button takes its fill from the palette, never from the col keys.
    auto* colours = widget<PlayerTurnButton>(*menu, "colours");
    EXPECT_EQ(colours->colourIndex, 3);
    EXPECT_FLOAT_EQ(colours->colour[0], PlayerColours[3][0]);
    EXPECT_FLOAT_EQ(colours->colour[2], PlayerColours[3][2]);
    EXPECT_FLOAT_EQ(colours->colour[3], 1.0f);
    // A colour outside the palette is clamped into it, and reported.
    EXPECT_EQ(widget<PlayerTurnButton>(*menu, "odd")->colourIndex, 8);
    EXPECT_FLOAT_EQ(widget<PlayerTurnButton>(*menu, "odd")->colour[0], PlayerColours[8][0]);
    EXPECT_EQ(readFile("debug.log"),
              "Error: PlayerTurnButton colour 12 is outside 0..8, using 8\n");

    EXPECT_TRUE(menu->getObject("misspelt")->isHudObject());
    EXPECT_FALSE(menu->getObject("misspelt")->isMenuItem());
    EXPECT_EQ(menu->getObject("untyped")->getTypeId(), 0);
    EXPECT_EQ(*widget<TextBox>(*menu, "text")->text(), "  Hello = world  ");

    auto* go = widget<NewMapButton>(*menu, "go");
    EXPECT_EQ(go->mapToLoad, "Menus\\newGame.ini");
    EXPECT_EQ(go->text, "Start");
    EXPECT_FALSE(go->useController);
    EXPECT_EQ(go->row, 2);
    EXPECT_EQ(go->column, 3);
}

TEST(MenuFactory, TwoSectionsOfOneNameGiveTwoWidgetsAndLookupsFindTheFirst) {
    ScratchDirectory scratch;
    auto menu = loadMenu(
        "[twin]\nType = Panel\nLeft = 0.1\n[twin]\nType = Panel\nLeft = 0.2\n"
        "[]\nType = Panel\n");
    ASSERT_EQ(menu->objectCount(), 3);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "twin")->Left, 0.1);
    EXPECT_EQ(menu->objectAt(2)->name(), "");  // an unnamed section still gives a widget
    EXPECT_EQ(menu->getObject("Twin"), nullptr);
}

TEST(MenuFactory, MissingOrEmptyFileGivesAnEmptyMenuThatIgnoresInput) {
    ScratchDirectory scratch;
    Menu menu;
    EXPECT_TRUE(menu.load("nowhere.ini", true));
    EXPECT_EQ(menu.objectCount(), 0);
    menu.mouseMoved(0.5, 0.5, 0, 0);
    menu.mouseButtonPressed(0.5, 0.5, 1);
    menu.mouseButtonReleased(0.5, 0.5, 1);
    menu.update();
    EXPECT_FALSE(testing_support::fileExists("debug.log"));
}

TEST(MenuFactory, WidgetsWithoutAClassReportEachDraw) {
    ScratchDirectory scratch;
    auto menu = loadMenu("[oops]\nType = Buton\n");
    static_cast<HudObject*>(menu->objectAt(0))->draw();
    static_cast<HudObject*>(menu->objectAt(0))->draw();
    EXPECT_EQ(readFile("debug.log"),
              "Error: HudObject::draw() called from base class\n"
              "Error: HudObject::draw() called from base class\n");
}

TEST(MouseRouting, BoundsAreInclusiveAndOverlappingItemsAllActInSectionOrder) {
    ScratchDirectory scratch;
    Menu menu;
    std::vector<std::string> acted;
    addButton(menu, acted, "first", 0.1, 0.1, 0.5, 0.5);
    addButton(menu, acted, "line", 0.3, 0.1, 0.3, 0.5);  // zero width
    addButton(menu, acted, "elsewhere", 0.6, 0.6, 0.7, 0.7);
    addButton(menu, acted, "second", 0.2, 0.2, 0.4, 0.4);
    menu.mouseMoved(0.3, 0.3, 0, 0);
    menu.mouseButtonPressed(0.3, 0.3, 1);
    menu.mouseButtonReleased(0.3, 0.3, 1);
    EXPECT_EQ(acted, (std::vector<std::string>{"first", "line", "second"}));
}

TEST(MouseRouting, DisabledItemsAreNeverHoveredButStillPressed) {
    ScratchDirectory scratch;
    Menu menu;
    std::vector<std::string> acted;
    RecordingButton* button = addButton(menu, acted, "b", 0.1, 0.1, 0.5, 0.5);
    button->enabled = false;
    menu.mouseMoved(0.2, 0.2, 0, 0);
    EXPECT_FALSE(button->hovered);
    EXPECT_FALSE(button->highlighted);
    menu.mouseButtonPressed(0.2, 0.2, 1);
    EXPECT_TRUE(button->pressed);  // the press reached it; buttons test enabled themselves
}

TEST(MouseRouting, ReleasesFarAwayReachEveryItem) {
    ScratchDirectory scratch;
    auto menu = loadMenu(listSection("", 5));
    auto* list = widget<ListBox>(*menu, "list");
    menu->mouseButtonPressed(0.2, 0.12, 1);
    EXPECT_EQ(list->mouseDown, 1);
    menu->mouseButtonReleased(5.0, 5.0, 1);
    EXPECT_EQ(list->mouseDown, 0);
    EXPECT_EQ(list->selected, 0);
}

TEST(ButtonPresses, PressMoveOffMoveBackReleaseQuits) {
    ScratchDirectory scratch;
    GameEngine engine;
    engine.running = true;
    auto menu = loadMenu(
        "[quit]\nType = QuitButton\nLeft = 0.1\nRight = 0.3\nTop = 0.1\n"
        "Bottom = 0.2\n");
    auto* quit = widget<QuitButton>(*menu, "quit");
    menu->mouseMoved(0.2, 0.15, 0, 0);
    menu->mouseButtonPressed(0.2, 0.15, 1);
    EXPECT_TRUE(quit->pressed);
    menu->mouseMoved(0.6, 0.6, 0, 0);
    EXPECT_FALSE(quit->highlighted);
    menu->mouseMoved(0.2, 0.15, 0, 0);
    EXPECT_TRUE(quit->highlighted);
    menu->mouseButtonReleased(0.2, 0.15, 1);
    EXPECT_FALSE(engine.running);
    EXPECT_FALSE(quit->pressed);
}

TEST(ButtonPresses, ReleaseAfterMovingOffDoesNothingNorDoesALaterRelease) {
    ScratchDirectory scratch;
    GameEngine engine;
    engine.running = true;
    auto menu = loadMenu(
        "[quit]\nType = QuitButton\nLeft = 0.1\nRight = 0.3\nTop = 0.1\n"
        "Bottom = 0.2\n");
    menu->mouseMoved(0.2, 0.15, 0, 0);
    menu->mouseButtonPressed(0.2, 0.15, 1);
    menu->mouseMoved(0.6, 0.6, 0, 0);
    menu->mouseButtonReleased(0.6, 0.6, 1);
    EXPECT_TRUE(engine.running);
    menu->mouseMoved(0.2, 0.15, 0, 0);
    menu->mouseButtonReleased(0.2, 0.15, 1);
    EXPECT_TRUE(engine.running);
}

TEST(ButtonPresses, BaseButtonActsOnThePress) {
    ScratchDirectory scratch;
    Menu menu;
    std::vector<std::string> acted;
    RecordingButton* button = addButton(menu, acted, "b", 0.1, 0.1, 0.5, 0.5);
    button->executeOnPress = true;
    menu.mouseButtonPressed(0.2, 0.2, 1);
    EXPECT_EQ(acted.size(), 1u);
    EXPECT_FALSE(button->pressed);
    menu.mouseButtonReleased(0.2, 0.2, 1);
    EXPECT_EQ(acted.size(), 1u);
}

TEST(ButtonPresses, NewMapButtonGoesThroughTheControllerOrTheEngine) {
    ScratchDirectory scratch;
    GameEngine engine;
    auto menu = loadMenu(
        "[go]\nType = NewMapButton\nmapToLoad = Menus\\settings.ini\n"
        "[direct]\nType = NewMapButton\nmapToLoad = board.ini\nuseController = 0\n");
    auto* go = widget<NewMapButton>(*menu, "go");
    // A menu the engine shows by itself has no controller: the engine changes the screen.
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
}

TEST(ButtonPresses, ColourButtonOutsideAHudReportsAndDoesNothing) {
    ScratchDirectory scratch;
    auto menu = loadMenu("[red]\nType = PlayerTurnButton\nColour = 1\n");
    auto* red = widget<PlayerTurnButton>(*menu, "red");
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

TEST(ButtonPresses, ColourButtonFollowsTheBoard) {
    ScratchDirectory scratch;
    auto menu = loadMenu("[red]\nType = PlayerTurnButton\nColour = 1\n");
    GameBoard board;
    menu->parent = &board;
    auto* red = widget<PlayerTurnButton>(*menu, "red");
    red->enabled = false;
    red->cycleUpdate();
    EXPECT_TRUE(red->enabled);
    EXPECT_FALSE(testing_support::fileExists("debug.log"));
}

TEST(ListReading, MaxItemsBoundsHowManyItemsAreRead) {
    ScratchDirectory scratch;
    EXPECT_EQ(widget<ListBox>(*loadMenu(listSection("", 120)), "list")->items().size(), 100u);
    EXPECT_EQ(
        widget<ListBox>(*loadMenu(listSection("MaxItems = 120\n", 120)), "list")->items().size(),
        120u);
    for (const char* none : {"MaxItems = 0\n", "MaxItems = -4\n", "MaxItems = many\n"}) {
        EXPECT_TRUE(widget<ListBox>(*loadMenu(listSection(none, 5)), "list")->items().empty())
            << none;
    }
    for (const char* huge : {"MaxItems = 100000\n", "MaxItems = 2147483647\n"}) {
        EXPECT_EQ(widget<ListBox>(*loadMenu(listSection(huge, 5)), "list")->items().size(), 5u)
            << huge;
    }
}

TEST(ListReading, ReadingStopsAtTheFirstItemWithNeitherTextNorValue) {
    ScratchDirectory scratch;
    auto menu = loadMenu(
        "[list]\nType = ListBox\nvalue0 = 5\nitem1 = One\nitem2 = Two\nvalue2 = 2\n"
        "item4 = Four\n");
    auto* list = widget<ListBox>(*menu, "list");
    EXPECT_EQ(list->items(), (std::vector<std::string>{"", "One", "Two"}));
    EXPECT_EQ(list->values(), (std::vector<std::string>{"5", "", "2"}));
}

TEST(ListSelection, ClickDragAndValue) {
    ScratchDirectory scratch;
    auto menu = loadMenu(listSection("itemHeight = 0.04\n", 10));
    auto* list = widget<ListBox>(*menu, "list");
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
    EXPECT_EQ(list->selected, 9);
    EXPECT_EQ(list->selectedValue(), "90");
    // Without the button down, moving selects nothing.
    menu->mouseMoved(0.2, 0.12, 0, 0);
    EXPECT_EQ(list->selected, 9);
    // Outside the side margins or above the top: nothing; past the last item: nothing.
    list->selectAt(0.1, 0.15);
    list->selectAt(0.2, 0.1);
    list->selectAt(0.2, 0.1 + 0.04 * 10 + 0.01);
    EXPECT_EQ(list->selected, 9);
    list->selectByValue("30");
    EXPECT_EQ(list->selected, 3);
    list->selectByValue("no such value");
    EXPECT_EQ(list->selected, 3);
}

TEST(ListSelection, ValuesMatchIgnoringCase) {
    ScratchDirectory scratch;
    auto menu = loadMenu(
        "[list]\nType = ListBox\nitem0 = Yes\nvalue0 = On\nitem1 = No\n"
        "value1 = Off\n");
    auto* list = widget<ListBox>(*menu, "list");
    list->selectByValue("OFF");
    EXPECT_EQ(list->selectedValue(), "Off");
}

TEST(ListSelection, NonsenseRowHeightsSelectNothing) {
    ScratchDirectory scratch;
    for (const char* height : {"0", "-0.05", "nan"}) {
        auto menu = loadMenu(listSection(std::string("itemHeight = ") + height + "\n", 3));
        auto* list = widget<ListBox>(*menu, "list");
        list->selectAt(0.2, 0.2);
        EXPECT_EQ(list->selected, -1) << height;
    }
}

namespace {

class UnloadWitness : public HudObject {
  public:
    UnloadWitness(std::vector<std::string>& log, const std::string& name) : log_(log) {
        setName(name);
    }
    ~UnloadWitness() override { log_.push_back("destroyed " + name()); }
    void beforeUnload() override { log_.push_back("unload " + name()); }
    void draw() override {}

  private:
    std::vector<std::string>& log_;
};

}  // namespace

TEST(MenuLifetime, EveryWidgetUnloadsBeforeAnyIsDestroyed) {
    std::vector<std::string> log;
    {
        Menu menu;
        menu.addObject(std::make_unique<UnloadWitness>(log, "a"));
        menu.addObject(std::make_unique<UnloadWitness>(log, "b"));
    }
    EXPECT_EQ(log,
              (std::vector<std::string>{"unload a", "unload b", "destroyed a", "destroyed b"}));
}
