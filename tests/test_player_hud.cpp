// The in-game display: score texts and player panels following a board filled by hand, the score
// screen's ranking and layout, and how the widgets cope without a board or with odd records.
#include <gtest/gtest.h>

#include "game/emitter.h"
#include "game/player_start.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/panel.h"
#include "menus/player_panel.h"
#include "menus/player_score_text.h"
#include "menus/score_control.h"
#include "menus/text_box.h"
#include "platform/platform.h"
#include "render/player_colours.h"
#include "resources/object_factory.h"
#include "support/test_boards.h"

using namespace testing_support;

namespace {

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

// Loads a menu file whose parent is set before loading, as the board does for its score menu.
std::unique_ptr<Menu> loadMenu(const std::string& text, Map* parent) {
    writeFile("menu.ini", text);
    auto menu = std::make_unique<Menu>();
    menu->parent = parent;
    EXPECT_TRUE(menu->load("menu.ini", true));
    return menu;
}

template <typename T = PlayerScoreText>
T* widget(Menu& menu, const std::string& name) {
    return static_cast<T*>(menu.getObject(name));
}

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

}  // namespace

TEST(HudFactory, MapPackagesMakeTheHudClassesByTheirIds) {
    std::istringstream empty;
    for (std::int32_t id = 18; id <= 22; ++id) {
        auto object = createStoredObject(id, empty);
        EXPECT_TRUE(object != nullptr && object->getTypeId() == id && object->isHudObject()) << id;
    }
}

TEST(PlayerScoreText, ShowsTheScoreInThePlayersColourAndThePanelLightsUpOnItsTurn) {
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
            auto* score = widget(*menu, "score" + std::to_string(i));
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
    widget(*menu, "score5")->setText("old");
    widget(*menu, "score5")->cycleUpdate();
    EXPECT_EQ(widget(*menu, "score5")->text(), nullptr);
    EXPECT_FALSE(widget<PlayerPanel>(*menu, "panel5")->refresh());
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(PlayerScoreText, RecordsAreFoundByTheirIndexAfterSwaps) {
    FilledBoard filled({{10, 1}, {20, 2}, {30, 4}});
    // Records at positions 1 and 2 swapped, as the board does for two players on three cells.
    std::swap(filled.board.players[1], filled.board.players[2]);
    auto menu = loadMenu(
        "[a]\nType = PlayerScoreText\nPlayer = 1\n[b]\nType = PlayerScoreText\nPlayer = 2\n"
        "[c]\nType = PlayerScoreText\nPlayer = 7\n[d]\nType = PlayerScoreText\nPlayer = -1\n",
        &filled.board);
    const char* expected[] = {"20", "30", "<null>", "<null>"};  // no such number: nothing
    for (int i = 0; i < 4; ++i) {
        auto* score = widget(*menu, std::string(1, static_cast<char>('a' + i)));
        score->cycleUpdate();
        EXPECT_EQ(shownText(score), expected[i]) << i;
    }
    // The turn is judged by the record at turnPlayer carrying this widget's number.
    filled.board.players[1].startTile->playerColour = 0;  // index 2 now sits at position 1
    filled.board.turnPlayer = 1;
    widget(*menu, "b")->cycleUpdate();
    EXPECT_EQ(rgb(widget(*menu, "b")->textColour.data()), rgb(PlayerColours[8]));
}

TEST(BoardLookup, WidgetsWithoutABoardOrItsRecordsReportOrShowNothing) {
    GameBoard empty;
    empty.numPlayers = 4;  // a board whose description failed: the count says more than exists
    auto menu = loadMenu(hudFile(1) + scoreFile(), &empty);
    auto* score = widget(*menu, "score0");
    auto* panel = widget<PlayerPanel>(*menu, "panel0");
    score->setText("3");
    score->cycleUpdate();
    EXPECT_EQ(score->text(), nullptr);
    EXPECT_FALSE(panel->refresh());
    for (const char* name : {"score1", "score2", "score3", "score4"})
        EXPECT_FALSE(widget(*menu, name)->visible) << name;  // the score screen shows no rows
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
    ScoreControl control;
    control.postLoad();
    const std::string notHud = "Error: PlayerScoreText attached to non HUD menu.\n";
    const std::string noOwner = "Error: PlayerScoreText: Unrecognised owner type\n";
    EXPECT_EQ(readFile("debug.log"), notHud + notHud + notHud + noOwner + noOwner);
    FilledBoard filled({{42, 2}});
    loose.owner = &filled.board;
    loose.cycleUpdate();
    EXPECT_EQ(shownText(&loose), "42");
}

TEST(ScoreScreen, PlayersAreRankedIntoTheMiddleRowsAndThePanelsShrink) {
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
            auto* score = widget(*menu, "score" + std::to_string(k + 1));
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
}

TEST(ScoreScreen, PartnersOfTheWrongKindAreLeftAlone) {
    FilledBoard filled({{4, 1}, {7, 2}});
    // text1 is a panel, score2 a plain text box, panel2 a player panel.
    auto menu = loadMenu(
        "[panel1]\nType = Panel\nTop = 0.1\nBottom = 0.5\n"
        "[panel2]\nType = PlayerPanel\nTop = 0.1\nBottom = 0.5\n"
        "[text1]\nType = Panel\nTop = 0.1\n[text2]\nType = TextBox\nText = b\nTop = 0.2\n"
        "[score2]\nType = TextBox\nText = keep\n[score3]\nType = PlayerScoreText\nPlayer = 3\n"
        "[control]\nType = ScoreControl\n",
        &filled.board);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Top, 0.1);
    EXPECT_DOUBLE_EQ(widget<Panel>(*menu, "panel1")->Bottom, 0.5);
    EXPECT_EQ(shownText(widget<TextBox>(*menu, "score2")), "keep");
    EXPECT_TRUE(widget<TextBox>(*menu, "score2")->visible);
    EXPECT_EQ(shownText(widget<TextBox>(*menu, "text2")), "1");
    EXPECT_EQ(widget(*menu, "score3")->player, 0);
}

TEST(ScoreScreen, OpensWhenTheLastCellIsTakenOnABoardOfCellsSparksAndAPacedFrameClock) {
    writeFile("board.ini", testing_support::boardDescription({"A1#", "12#"}, 1));
    writeFile("players.ini", "[1]\nDifficulty = 1\n");
    GameBoard board;
    board.load("board.ini", true);
    board.additionalSetup();
    EXPECT_EQ(board.players[0].difficulty, 1);  // as players.ini says
    for (const Tile* tile : board.tiles()) {
        ASSERT_NE(tile->emitter, nullptr);
        EXPECT_EQ(tile->emitter->colour, tile->colour);
        EXPECT_FLOAT_EQ(tile->emitter->position.z, 0.1f);
        EXPECT_FLOAT_EQ(tile->emitter->size, tile->uniformScale / 2);
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
    board.takeTurn(1);
    EXPECT_TRUE(board.isGameOver());
    ASSERT_NE(board.scoresMenu, nullptr);
}
