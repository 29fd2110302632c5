// Building a board from its description: placement, links, players, colours and pockets.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "support/test_boards.h"

using testing_support::boardDescription;
using testing_support::setUpBoard;

TEST(BoardPlacement, CellsArePlacedInOrderAndLinkedByColumnParity) {
    const Tile& one = *setUpBoard({"1"}, 1)->tiles()[0];
    EXPECT_NEAR(one.position.x, 0.5, 1e-6);
    EXPECT_NEAR(one.position.y, 0.25, 1e-4);
    EXPECT_NEAR(one.uniformScale, 0.2309, 1e-4);
    EXPECT_EQ(one.rotation.c, 0xC000);
    // Sections without a place fill the grid row by row, on from the last place given.
    auto filled = setUpBoard(
        "[General]\nNumRows = 3\nNumCols = 3\nNumPlayers = 1\n[a]\n[b]\n[c]\n"
        "[d]\n[given]\nRow = 2\nCol = 1\n[after]\n",
        {}, false);
    const auto& tiles = filled->tiles();
    EXPECT_EQ(tiles[3]->name(), "d");
    EXPECT_EQ(std::make_pair(tiles[3]->row, tiles[3]->col), std::make_pair(1, 0));
    EXPECT_EQ(std::make_pair(tiles[5]->row, tiles[5]->col), std::make_pair(2, 2));
    // Odd columns sit half a row lower than even ones; links run N, NE, SE, S, SW, NW.
    auto board = setUpBoard({"1111", "1111", "1111"}, 1);
    auto at = [&](int row, int col) { return board->tileAt(row, col); };
    const std::array<Tile*, 6> even{nullptr, nullptr, at(0, 3), at(1, 2), at(0, 1), nullptr};
    const std::array<Tile*, 6> odd{nullptr, at(0, 2), at(1, 2), at(1, 1), at(1, 0), at(0, 0)};
    EXPECT_EQ(at(0, 2)->neighbours, even);
    EXPECT_EQ(at(0, 1)->neighbours, odd);
    for (const Tile* tile : board->tiles()) {
        for (std::size_t d = 0; d < 6; ++d) {
            const Tile* n = tile->neighbours[d];
            EXPECT_TRUE(n == nullptr || n->neighbours[(d + 3) % 6] == tile);
        }
    }
}

TEST(BoardPlacement, HolesAndCellsOutsideTheGridHaveNoLinksAndTurnBlack) {
    // Cells far outside, and the automatic places after them, on every side of the grid.
    auto board = setUpBoard(boardDescription({"A 1", "111"}, 1) +
                            "[outside]\nRow = 7\nCol = 9\n[far]\nRow = 2147483647\n"
                            "Col = 2147483647\n[afterFar]\n[low]\nRow = -2147483648\n"
                            "Col = -2147483648\n[afterLow]\n[above]\nRow = -2\nCol = 1\n"
                            "[left]\nRow = 1\nCol = -2\n");
    EXPECT_EQ(board->tileAt(0, 1), nullptr);
    EXPECT_EQ(board->tileAt(1, 1)->neighbours[Tile::north], nullptr);
    EXPECT_EQ(board->tileAt(1, 0)->neighbours[Tile::north], board->tileAt(0, 0));
    const auto& tiles = board->tiles();
    for (std::size_t i = 5; i < tiles.size(); ++i) {
        EXPECT_EQ(tiles[i]->neighbours, (std::array<Tile*, 6>{})) << tiles[i]->name();
        // Nobody can reach them, so they do not hold up the end of the game.
        EXPECT_EQ(tiles[i]->colour, 8) << tiles[i]->name();
    }
    EXPECT_EQ(board->players[0].shownScore, 1);
    EXPECT_TRUE(board->playMove(2));
}

TEST(BoardPlayers, SlotsThatDoNotPlayAndARandomFirstPlayer) {
    const std::string description = boardDescription({"A11B", "1111", "C11D"}, 4);
    BoardSetup setup;
    setup.players = 2;
    setup.slots[2] = {false, 2};
    auto two = setUpBoard(description, setup);
    // Slots 0 and 2 play; the second player is then moved into slot 1 with its settings. The
    // start cell of a slot that does not play is an ordinary cell.
    const std::vector<bool> twoActive = {true, true, false, false};
    EXPECT_EQ(two->players[1].index, 2);
    EXPECT_FALSE(two->players[1].isHuman);
    EXPECT_EQ(two->players[1].difficulty, 2);
    EXPECT_EQ(two->players[1].startTile, two->tileAt(2, 0));
    EXPECT_EQ(dynamic_cast<PlayerStart*>(two->tileAt(0, 3)), nullptr);
    EXPECT_NE(two->tileAt(0, 3)->colour, 0);
    setup.players = 3;
    auto three = setUpBoard(description, setup);
    const std::vector<bool> threeActive = {true, false, true, true};
    EXPECT_EQ(three->players[3].index, 3);
    // A slot the description gives no start cell takes no turn and holds no colour.
    auto missing = setUpBoard({"a1111c", "222222"}, 3, setup);
    const std::vector<bool> missingActive = {true, false, true};
    EXPECT_EQ(missing->players[0].shownScore, 5);  // the start cell holds the row of 1s
    missing->playMove(4);
    missing->passInactiveSlots();
    EXPECT_EQ(missing->turnPlayer, 2);
    EXPECT_TRUE(missing->isColourFree(2, true));
    const std::vector<std::pair<Board*, std::vector<bool>>> slots = {
        {two.get(), twoActive}, {three.get(), threeActive}, {missing.get(), missingActive}};
    for (const auto& [board, active] : slots) {
        for (std::size_t i = 0; i < active.size(); ++i) {
            EXPECT_EQ(board->players[i].active, active[i]) << i;
        }
    }

    // A first player drawn for slot 1, which does not play with three players, passes on.
    setup.randomFirstPlayer = true;
    unsigned seed = 1;
    for (platform::seedRandom(seed); platform::random() * 4LL / 32768 != 1;) {
        platform::seedRandom(++seed);
    }
    platform::seedRandom(seed);
    // No cell is coloured at random, so the first draw is the first player's.
    auto drawn = setUpBoard({"Ab", "CD"}, 4, setup);
    EXPECT_EQ(drawn->turnPlayer, 1);
    drawn->passInactiveSlots();
    EXPECT_EQ(std::make_pair(drawn->turnPlayer, drawn->currentPlayer), std::make_pair(2, 2));
}

TEST(BoardColours, BlackCellsKeepTwoStepsFromStartCellsAndTakeTheirShare) {
    BoardSetup setup;
    setup.blackShare = 1;
    int blackThreeStepsAway = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        platform::seedRandom(seed);
        auto board = setUpBoard({"......", "..A...", "......", "......"}, 1, setup);
        std::map<const Tile*, int> steps{{board->tileAt(1, 2), 0}};
        std::vector<const Tile*> queue{board->tileAt(1, 2)};
        for (std::size_t i = 0; i < queue.size(); ++i) {
            for (const Tile* n : queue[i]->neighbours) {
                if (n != nullptr && steps.emplace(n, steps[queue[i]] + 1).second) {
                    queue.push_back(n);
                }
            }
        }
        for (const auto& [tile, distance] : steps) {
            EXPECT_TRUE(distance > 2 || tile->colour != 8) << "seed " << seed;
            blackThreeStepsAway += distance == 3 && tile->colour == 8 ? 1 : 0;
        }
    }
    EXPECT_GT(blackThreeStepsAway, 0);

    // One in eight at a share of 1, plus the few pockets black cells wall in; past 1 every draw
    // beyond black counts as black, never as a colour past it.
    std::vector<std::string> rows(40, std::string(40, '.'));
    rows[20][20] = 'A';
    const std::tuple<double, int, int> shares[] = {{0, 0, 0}, {1, 150, 320}, {50, 1200, 1600}};
    for (const auto& [share, low, high] : shares) {
        setup.blackShare = share;
        platform::seedRandom(7);
        int black = 0;
        for (const Tile* tile : setUpBoard(rows, 1, setup)->tiles()) {
            EXPECT_LE(tile->colour, 8);
            black += tile->colour == 8 ? 1 : 0;
        }
        EXPECT_GE(black, low) << share;
        EXPECT_LE(black, high) << share;
    }
}

TEST(BoardColours, AreasNoStartCellCanReachTurnBlackAndTheGameEnds) {
    // Per case: the board, and what set-up leaves: '#' black, 'o' owned, '.' anything else.
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        // Holes alone cut off three islands.
        {{"..  ... .. A....B"}, 2, "#######o....o"},
        // A pocket behind a black wall, found only after the wall meets the start cell's area.
        {{"12#3A", "34#56", "56#71"}, 1, "###.o###..###.."},
        // The cells behind a black wall and the edge fill; the start cell's side stays.
        {{"A1#23", "11#45", "11#67"}, 1, "o.###..###..###"},
        // A start cell given the colour of the cell beside it holds that cell from the start;
        // otherwise the cell would follow its every colour and never be taken.
        {{"a1b"}, 2, "ooo"},
    };
    BoardSetup noBlack;
    noBlack.blackShare = 0;
    for (const auto& [rows, players, expected] : cases) {
        auto board = setUpBoard(rows, players, noBlack);
        std::string shown;
        for (const Tile* tile : board->tiles()) {
            shown += tile->colour == 8 ? '#' : tile->owned ? 'o' : '.';
        }
        EXPECT_EQ(shown, expected);
        for (int moves = 0; board->currentPlayer < board->numPlayers && moves < 100; ++moves) {
            Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
            mover.difficulty = 1;
            board->playMove(think(mover, *board).colour);
        }
        EXPECT_TRUE(board->isGameOver()) << rows[0];
    }
}

TEST(BoardDescriptions, BrokenDescriptionsAreReportedAndLeaveAHarmlessBoard) {
    const std::string size = "[General]\nNumRows = 2\nNumCols = 2\n";
    const std::tuple<std::string, const char*, std::size_t> cases[] = {
        {"[General]\nNumRows = 0\nNumCols = 3\nNumPlayers = 1\n", "GameBoard: invalid board size\n",
         0},
        {size, "More players required\n", 0},
        {size + "NumPlayers = 5\n", "GameBoard: at most 4 players, the board asks for 5\n", 0},
        {size + "NumPlayers = 2\n[a]\n[s]\nType = playerstart\nPlayer = 2\n",
         "Invalid player index: 2\n", 1},
        // No General section at all, or two of them: the first one counts.
        {"[a]\nColour = 1\n", "GameBoard: invalid board size\n", 0},
        {"[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\n[GENERAL]\nNumRows = 9\n[b]\n",
         "", 2},
    };
    testing_support::LogCapture log;
    for (const auto& [text, message, cells] : cases) {
        log.clear();
        auto board = setUpBoard(text);
        EXPECT_EQ(log.text(), message);
        EXPECT_EQ(board->tiles().size(), cells);
        board->passInactiveSlots();
        board->playMove(1);
        EXPECT_TRUE(board->isColourFree(1, true));
    }
    EXPECT_EQ(setUpBoard(std::get<0>(cases[5]))->numRows, 1);
}
