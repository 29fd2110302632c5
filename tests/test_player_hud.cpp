// The in-game display: score texts and player panels following a board filled by hand, the score
// screen's ranking and layout, and how the widgets cope without a board or with odd records.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/emitter.h"
#include "game/player_start.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/new_game_control.h"
#include "menus/panel.h"
#include "menus/player_panel.h"
#include "menus/player_score_text.h"
#include "menus/score_control.h"
#include "menus/settings_control.h"
#include "menus/text_box.h"
#include "render/player_colours.h"
#include "resources/object_factory.h"
#include "resources/package.h"
#include "support/board_text.h"
#include "support/test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

struct PlayerSetup {
    std::int32_t score;
    std::int32_t playerColour;
    std::int32_t tileColour;
    bool active = true;
};

// A board with one record and one start cell per entry, record i having index i.
class FilledBoard {
  public:
    explicit FilledBoard(const std::vector<PlayerSetup>& setups) {
        board.numPlayers = static_cast<std::int32_t>(setups.size());
        for (std::size_t i = 0; i < setups.size(); ++i) {
            auto start = std::make_unique<PlayerStart>();
            start->playerColour = setups[i].playerColour;
            start->colour = setups[i].tileColour;
            Player record;
            record.index = static_cast<std::int32_t>(i);
            record.shownScore = setups[i].score;
            record.score = -1;  // never shown
            record.active = setups[i].active;
            record.startTile = start.get();
            board.players.push_back(std::move(record));
            starts.push_back(std::move(start));
        }
    }

    std::vector<std::unique_ptr<PlayerStart>> starts;
    GameBoard board;
};

// Loads a menu file whose parent is set before loading, as the board does for its score menu.
std::unique_ptr<Menu> loadMenu(const std::string& text, Map* parent) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    menu->parent = parent;
    EXPECT_TRUE(menu->load("menu.ini", true));
    return menu;
}

template <typename T>
T* widget(Menu& menu, const std::string& name) {
    return static_cast<T*>(menu.getObject(name));
}

std::string shownText(const TextBox* box) {
    return box->text() != nullptr ? *box->text() : std::string("<null>");
}

std::vector<float> rgb(const std::array<float, 4>& c) {
    return {c[0], c[1], c[2]};
}

std::vector<float> rgb(const float* c) {
    return {c[0], c[1], c[2]};
}

const char* const hudFile =
    "[score0]\nType = PlayerScoreText\nPlayer = 0\ntextColRed = 0.5\n"
    "[score1]\nType = playerscoretext\nPlayer = 1\n"
    "[panel0]\nType = PlayerPanel\nplayer = 0\ncolRed = 0.7\ncolAlpha = 0.5\n"
    "[panel1]\nType = PlayerPanel\nplayer = 1\ncolAlpha = 0.5\n";

// The score screen: labels and scores in four rows 0.1 apart, two background panels.
std::string scoreFile() {
    std::string text =
        "[panel1]\nType = Panel\nLeft = 0.2\nRight = 0.5\nTop = 0.1\nBottom = 0.5\n"
        "[panel2]\nType = Panel\nLeft = 0.5\nRight = 0.8\nTop = 0.1\nBottom = 0.5\n";
    for (int k = 1; k <= 4; ++k) {
        const std::string top = std::to_string(0.1 * k);
        const std::string bottom = std::to_string(0.1 * k + 0.08);
        text += "[text" + std::to_string(k) + "]\nType = TextBox\nText = " + std::to_string(k) +
                "\nLeft = 0.25\nTop = " + top + "\nBottom = " + bottom + "\n";
        text += "[score" + std::to_string(k) +
                "]\nType = PlayerScoreText\nPlayer = " + std::to_string(k - 1) +
                "\nLeft = 0.55\nTop = " + top + "\nBottom = " + bottom + "\n";
    }
    return text + "[control]\nType = ScoreControl\n";
}

}  // namespace

TEST(HudFactory, ClassesKeysAndTypeIds) {
    ScratchDirectory scratch;
    FilledBoard filled({{1, 1, 1}, {1, 2, 2}});
    auto menu = loadMenu(std::string(hudFile) +
                             "[ctl]\nType = ScoreControl\n"
                             "[game]\nType = NEWGAMECONTROL\niniFile = my players.ini\n"
                             "[set]\nType = SettingsControl\niniFile = ..\\s.ini\n",
                         &filled.board);
    auto* score1 = widget<PlayerScoreText>(*menu, "score1");
    auto* panel1 = widget<PlayerPanel>(*menu, "panel1");
    ASSERT_EQ(score1->getTypeId(), 19);
    EXPECT_EQ(score1->player, 1);
    ASSERT_EQ(panel1->getTypeId(), 18);
    EXPECT_EQ(panel1->player, 1);
    EXPECT_EQ(widget<HudObject>(*menu, "ctl")->getTypeId(), 20);
    ASSERT_EQ(widget<HudObject>(*menu, "game")->getTypeId(), 21);
    EXPECT_EQ(widget<NewGameControl>(*menu, "game")->iniFile, "my players.ini");
    ASSERT_EQ(widget<HudObject>(*menu, "set")->getTypeId(), 22);
    EXPECT_EQ(widget<SettingsControl>(*menu, "set")->iniFile, "..\\s.ini");

    // The same classes from their ids, as a map package would make them.
    for (std::int32_t id = 18; id <= 22; ++id) {
        std::istringstream empty;
        auto object = createStoredObject(id, empty);
        ASSERT_NE(object, nullptr) << id;
        EXPECT_EQ(object->getTypeId(), id);
        EXPECT_TRUE(object->isHudObject());
    }
}

TEST(PlayerScoreText, ShowsTheShownScoreInThePlayersColour) {
    ScratchDirectory scratch;
    FilledBoard filled({{17, 5, 5}, {23, 3, 3}});
    auto menu = loadMenu(hudFile, &filled.board);
    auto* score0 = widget<PlayerScoreText>(*menu, "score0");
    auto* score1 = widget<PlayerScoreText>(*menu, "score1");

    score0->cycleUpdate();
    score1->cycleUpdate();
    EXPECT_EQ(shownText(score0), "17");
    EXPECT_EQ(rgb(score0->textColour), rgb(PlayerColours[5]));
    EXPECT_EQ(shownText(score1), "23");
    // Blue is drawn lighter than the table's, on turn or not.
    EXPECT_EQ(rgb(score1->textColour), (std::vector<float>{0.12f, 0.2f, 1.0f}));
    filled.board.turnPlayer = 1;
    score1->cycleUpdate();
    EXPECT_EQ(rgb(score1->textColour), (std::vector<float>{0.12f, 0.2f, 1.0f}));

    // The score follows the record from frame to frame.
    filled.board.players[0].shownScore = -4;
    score0->cycleUpdate();
    EXPECT_EQ(shownText(score0), "-4");
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(PlayerScoreText, UncolouredStartIsDarkGreyOnlyOnTurn) {
    ScratchDirectory scratch;
    FilledBoard filled({{1, 0, 0}, {1, 0, 0}});
    auto menu = loadMenu(hudFile, &filled.board);
    auto* score0 = widget<PlayerScoreText>(*menu, "score0");
    auto* score1 = widget<PlayerScoreText>(*menu, "score1");
    score0->cycleUpdate();
    score1->cycleUpdate();
    EXPECT_EQ(rgb(score0->textColour), rgb(PlayerColours[8]));
    EXPECT_EQ(rgb(score1->textColour), rgb(PlayerColours[0]));

    // Once the game is over turnPlayer points past the records: nobody is on turn.
    filled.board.turnPlayer = filled.board.numPlayers;
    score0->cycleUpdate();
    EXPECT_EQ(rgb(score0->textColour), rgb(PlayerColours[0]));
}

TEST(PlayerScoreText, InactivePlayersShowNothing) {
    ScratchDirectory scratch;
    FilledBoard filled({{9, 1, 1}, {9, 2, 2, false}});
    auto menu = loadMenu(hudFile, &filled.board);
    auto* score1 = widget<PlayerScoreText>(*menu, "score1");
    score1->setText("old");
    score1->cycleUpdate();
    EXPECT_EQ(score1->text(), nullptr);
}

TEST(PlayerScoreText, RecordsAreFoundByTheirIndexAfterSwaps) {
    ScratchDirectory scratch;
    FilledBoard filled({{10, 1, 1}, {20, 2, 2}, {30, 4, 4}});
    // Records at positions 1 and 2 swapped, as the board does for two players on three cells.
    std::swap(filled.board.players[1], filled.board.players[2]);
    auto menu = loadMenu(
        "[a]\nType = PlayerScoreText\nPlayer = 1\n"
        "[b]\nType = PlayerScoreText\nPlayer = 2\n"
        "[c]\nType = PlayerScoreText\nPlayer = 7\n"
        "[d]\nType = PlayerScoreText\nPlayer = -1\n",
        &filled.board);
    const char* names[] = {"a", "b", "c", "d"};
    const char* expected[] = {"20", "30", "<null>", "<null>"};  // no such number: nothing
    for (int i = 0; i < 4; ++i) {
        auto* score = widget<PlayerScoreText>(*menu, names[i]);
        score->cycleUpdate();
        EXPECT_EQ(shownText(score), expected[i]) << names[i];
    }
    // The turn is judged by the record at turnPlayer carrying this widget's number.
    filled.board.players[1].startTile->playerColour = 0;  // index 2 now sits at position 1
    filled.board.turnPlayer = 1;                          // position 1 holds index 2
    auto* b = widget<PlayerScoreText>(*menu, "b");
    b->cycleUpdate();
    EXPECT_EQ(rgb(b->textColour), rgb(PlayerColours[8]));
}

TEST(PlayerScoreText, ColoursOutsideTheTableAndMissingStartCellsKeepTheTextColour) {
    ScratchDirectory scratch;
    FilledBoard filled({{5, 9, 9}, {6, -1, -1}, {7, 1000000, 2}});
    Player noStart;
    noStart.index = 3;
    noStart.shownScore = 8;
    filled.board.players.push_back(std::move(noStart));
    filled.board.numPlayers = 4;
    auto menu = loadMenu(
        "[a]\nType = PlayerScoreText\nPlayer = 0\ntextColGreen = 0.25\n"
        "[b]\nType = PlayerScoreText\nPlayer = 1\ntextColGreen = 0.25\n"
        "[c]\nType = PlayerScoreText\nPlayer = 2\ntextColGreen = 0.25\n"
        "[d]\nType = PlayerScoreText\nPlayer = 3\ntextColGreen = 0.25\n",
        &filled.board);
    const char* names[] = {"a", "b", "c", "d"};
    const char* expected[] = {"5", "6", "7", "8"};
    for (int turn = 0; turn < 4; ++turn) {
        filled.board.turnPlayer = turn;
        for (int i = 0; i < 4; ++i) {
            auto* score = widget<PlayerScoreText>(*menu, names[i]);
            score->cycleUpdate();
            EXPECT_EQ(shownText(score), expected[i]);
            EXPECT_EQ(rgb(score->textColour), (std::vector<float>{0.0f, 0.25f, 0.0f}));
        }
    }
}

TEST(BoardLookup, WidgetsWithoutABoardReportAndKeepTheirState) {
    ScratchDirectory scratch;
    MenuController controller;
    auto menu = loadMenu(
        "[score]\nType = PlayerScoreText\n"
        "[panel]\nType = PlayerPanel\ncolRed = 0.4\n",
        &controller);
    auto* score = widget<PlayerScoreText>(*menu, "score");
    auto* panel = widget<PlayerPanel>(*menu, "panel");
    score->setText("12");
    score->cycleUpdate();
    EXPECT_EQ(shownText(score), "12");
    EXPECT_FALSE(panel->refresh());
    EXPECT_FLOAT_EQ(panel->colour[0], 0.4f);
    menu->parent = nullptr;
    score->cycleUpdate();

    // A widget outside any screen.
    PlayerScoreText loose;
    loose.cycleUpdate();
    ScoreControl control;
    control.postLoad();
    const std::string notHud = "Error: PlayerScoreText attached to non HUD menu.\n";
    const std::string noOwner = "Error: PlayerScoreText: Unrecognised owner type\n";
    EXPECT_EQ(readFile("debug.log"), notHud + notHud + notHud + noOwner + noOwner);
}

TEST(BoardLookup, AWidgetPlacedOnTheBoardItselfReadsIt) {
    ScratchDirectory scratch;
    FilledBoard filled({{42, 2, 2}});
    PlayerScoreText score;
    score.owner = &filled.board;
    score.cycleUpdate();
    EXPECT_EQ(shownText(&score), "42");
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(BoardLookup, ABoardWithoutRecordsIsNeverIndexed) {
    ScratchDirectory scratch;
    GameBoard board;
    board.numPlayers = 4;  // a board whose description failed: the count says more than exists
    auto menu = loadMenu(std::string(hudFile) + scoreFile(), &board);
    auto* score0 = widget<PlayerScoreText>(*menu, "score0");
    score0->setText("3");
    score0->cycleUpdate();
    EXPECT_EQ(score0->text(), nullptr);
    EXPECT_FALSE(widget<PlayerPanel>(*menu, "panel0")->refresh());
    // The score screen shows no rows at all.
    for (const char* name : {"score1", "score2", "score3", "score4"}) {
        EXPECT_FALSE(widget<PlayerScoreText>(*menu, name)->visible) << name;
    }
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(PlayerPanel, LightsUpInTheDarkPaletteOnlyOnItsPlayersTurn) {
    ScratchDirectory scratch;
    FilledBoard filled({{1, 2, 2}, {1, 7, 7}, {1, 4, 4, false}});
    auto menu = loadMenu(std::string(hudFile) + "[panel2]\nType = PlayerPanel\nplayer = 2\n",
                         &filled.board);
    auto* panel0 = widget<PlayerPanel>(*menu, "panel0");
    auto* panel1 = widget<PlayerPanel>(*menu, "panel1");
    ASSERT_TRUE(panel0->refresh());
    ASSERT_TRUE(panel1->refresh());
    EXPECT_EQ(panel0->colour, (std::array<float, 4>{0.0f, 0.57f, 0.0f, 1.0f}));
    // Off turn: black, keeping the alpha of the file.
    EXPECT_EQ(panel1->colour, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.5f}));

    filled.board.turnPlayer = 1;
    ASSERT_TRUE(panel0->refresh());
    ASSERT_TRUE(panel1->refresh());
    EXPECT_EQ(panel0->colour, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(panel1->colour, (std::array<float, 4>{0.62f, 0.62f, 0.62f, 1.0f}));

    // An inactive player's panel is not drawn, even if the turn were shown on it.
    filled.board.turnPlayer = 2;
    EXPECT_FALSE(widget<PlayerPanel>(*menu, "panel2")->refresh());

    // A start colour outside the palette leaves the panel as it was.
    filled.board.turnPlayer = 0;
    filled.starts[0]->playerColour = 9;
    ASSERT_TRUE(panel0->refresh());
    EXPECT_EQ(panel0->colour, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
}

TEST(ScoreScreen, FourPlayersRankedWithSharedFirstPlace) {
    ScratchDirectory scratch;
    FilledBoard filled({{12, 1, 1}, {30, 2, 2}, {30, 6, 6}, {5, 4, 4}});
    auto menu = loadMenu(scoreFile(), &filled.board);
    const char* labels[] = {"1", "1", "3", "4"};
    const std::int32_t players[] = {1, 2, 0, 3};
    const std::int32_t tileColours[] = {2, 6, 1, 4};
    for (int k = 1; k <= 4; ++k) {
        auto* label = widget<TextBox>(*menu, "text" + std::to_string(k));
        auto* score = widget<PlayerScoreText>(*menu, "score" + std::to_string(k));
        EXPECT_EQ(shownText(label), labels[k - 1]) << k;
        EXPECT_EQ(score->player, players[k - 1]) << k;
        EXPECT_TRUE(score->visible);
        EXPECT_EQ(rgb(label->textColour), rgb(PlayerColours[tileColours[k - 1]])) << k;
        EXPECT_DOUBLE_EQ(label->Left, k <= 2 ? 0.253 : 0.25) << k;
    }
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Top, 0.1);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel2")->Bottom, 0.5);
    // The scores then show in rank order.
    std::vector<std::string> shown;
    for (int k = 1; k <= 4; ++k) {
        auto* score = widget<PlayerScoreText>(*menu, "score" + std::to_string(k));
        score->cycleUpdate();
        shown.push_back(shownText(score));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"30", "30", "12", "5"}));
}

TEST(ScoreScreen, OpensWhenTheLastCellIsTakenOnABoardOfCellsAndSparks) {
    ScratchDirectory scratch;
    writeFile("board.ini", testing_support::boardDescription({"A1#", "12#"}, 1));
    GameBoard board;
    board.load("board.ini", true);
    board.additionalSetup();
    for (const Tile* tile : board.tiles()) {
        ASSERT_NE(tile->emitter, nullptr);
        EXPECT_EQ(tile->emitter->colour, tile->colour);
        EXPECT_FLOAT_EQ(tile->emitter->position.z, 0.1f);
        EXPECT_FLOAT_EQ(tile->emitter->size, tile->uniformScale / 2);
        EXPECT_EQ(tile->emitter->owner, &board);
    }
    EXPECT_EQ(board.objectCount(), 12);
    board.takeTurn(1);
    EXPECT_TRUE(board.isGameOver());
    ASSERT_NE(board.scoresMenu, nullptr);
}

TEST(ScoreScreen, TwoPlayersUseTheMiddleRows) {
    ScratchDirectory scratch;
    FilledBoard filled({{20, 1, 1}, {1, 2, 2, false}, {44, 3, 3}, {1, 4, 4, false}});
    auto menu = loadMenu(scoreFile(), &filled.board);
    const char* labels[] = {"", "1", "2", ""};
    const bool visible[] = {false, true, true, false};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(shownText(widget<TextBox>(*menu, "text" + std::to_string(k))), labels[k - 1]);
        EXPECT_EQ(widget<PlayerScoreText>(*menu, "score" + std::to_string(k))->visible,
                  visible[k - 1]);
    }
    EXPECT_EQ(widget<PlayerScoreText>(*menu, "score2")->player, 2);
    EXPECT_EQ(widget<PlayerScoreText>(*menu, "score3")->player, 0);
    EXPECT_DOUBLE_EQ(widget<TextBox>(*menu, "text2")->Left, 0.253);
    EXPECT_DOUBLE_EQ(widget<TextBox>(*menu, "text3")->Left, 0.25);
    for (const char* name : {"panel1", "panel2"}) {
        EXPECT_NEAR(widget<Panel>(*menu, name)->Top, 0.2, 1e-12) << name;
        EXPECT_NEAR(widget<Panel>(*menu, name)->Bottom, 0.4, 1e-12) << name;
    }
}

TEST(ScoreScreen, ThreePlayersShortenThePanelsAtTheBottomOnly) {
    ScratchDirectory scratch;
    FilledBoard filled({{3, 1, 1}, {1, 2, 2, false}, {9, 3, 3}, {6, 4, 4}});
    auto menu = loadMenu(scoreFile(), &filled.board);
    const char* labels[] = {"1", "2", "3", ""};
    const std::int32_t players[] = {2, 3, 0};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(shownText(widget<TextBox>(*menu, "text" + std::to_string(k))), labels[k - 1]);
        auto* score = widget<PlayerScoreText>(*menu, "score" + std::to_string(k));
        EXPECT_EQ(score->visible, k < 4);
        if (k < 4) {
            EXPECT_EQ(score->player, players[k - 1]);
        }
    }
    for (const char* name : {"panel1", "panel2"}) {
        EXPECT_NEAR(widget<Panel>(*menu, name)->Top, 0.1, 1e-12) << name;
        EXPECT_NEAR(widget<Panel>(*menu, name)->Bottom, 0.4, 1e-12) << name;
    }
}

TEST(ScoreScreen, OnePlayerOrMoreThanFourNeverShowPlaceholders) {
    ScratchDirectory scratch;
    {
        FilledBoard filled({{8, 1, 1}});
        auto menu = loadMenu(scoreFile(), &filled.board);
        const char* labels[] = {"", "1", "", ""};
        for (int k = 1; k <= 4; ++k) {
            EXPECT_EQ(shownText(widget<TextBox>(*menu, "text" + std::to_string(k))), labels[k - 1]);
            EXPECT_EQ(widget<PlayerScoreText>(*menu, "score" + std::to_string(k))->visible, k == 2);
        }
    }
    {
        // Six start cells: the best four fill the rows.
        FilledBoard filled({{1, 1, 1}, {6, 2, 2}, {2, 3, 3}, {5, 4, 4}, {3, 5, 5}, {4, 6, 6}});
        auto menu = loadMenu(scoreFile(), &filled.board);
        const std::int32_t players[] = {1, 3, 5, 4};
        for (int k = 1; k <= 4; ++k) {
            EXPECT_EQ(shownText(widget<TextBox>(*menu, "text" + std::to_string(k))),
                      std::to_string(k));
            EXPECT_EQ(widget<PlayerScoreText>(*menu, "score" + std::to_string(k))->player,
                      players[k - 1]);
        }
        EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Bottom, 0.5);
    }
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(ScoreScreen, PartnersOfTheWrongKindAreLeftAlone) {
    ScratchDirectory scratch;
    FilledBoard filled({{4, 1, 1}, {7, 2, 2}});
    // text1 is a panel, score2 a plain text box, panel2 a player panel.
    auto menu = loadMenu(
        "[panel1]\nType = Panel\nTop = 0.1\nBottom = 0.5\n"
        "[panel2]\nType = PlayerPanel\nTop = 0.1\nBottom = 0.5\n"
        "[text1]\nType = Panel\nTop = 0.1\n"
        "[text2]\nType = TextBox\nText = b\nTop = 0.2\n"
        "[score2]\nType = TextBox\nText = keep\n"
        "[score3]\nType = PlayerScoreText\nPlayer = 3\n"
        "[control]\nType = ScoreControl\n",
        &filled.board);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Top, 0.1);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Bottom, 0.5);
    EXPECT_EQ(shownText(widget<TextBox>(*menu, "score2")), "keep");
    EXPECT_TRUE(widget<TextBox>(*menu, "score2")->visible);
    EXPECT_EQ(shownText(widget<TextBox>(*menu, "text2")), "1");
    EXPECT_EQ(widget<PlayerScoreText>(*menu, "score3")->player, 0);
}
