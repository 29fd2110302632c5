// Building a board from its description: placement, links, players, colours and pockets.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::boardDescription;
using testing_support::setUpBoard;

namespace {

int countColour(const Board& board, int colour) {
    int count = 0;
    for (const Tile* tile : board.tiles()) {
        count += tile->colour == colour ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(BoardPlacement, CellsArePlacedInOrderAndLinkedByColumnParity) {
    auto one = setUpBoard(boardDescription({"1"}, 1));
    const Tile& cell = *one->tiles()[0];
    EXPECT_NEAR(cell.position.x, 0.5, 1e-6);
    EXPECT_NEAR(cell.position.y, 0.25, 1e-4);
    EXPECT_NEAR(cell.uniformScale, 0.2309, 1e-4);
    EXPECT_EQ(cell.rotation.c, 0xC000);

    // Sections without a place fill the grid row by row, on from the last place given.
    std::string text = "[General]\nNumRows = 3\nNumCols = 3\nNumPlayers = 1\n";
    for (int i = 0; i < 4; ++i) {
        text += "[auto" + std::to_string(i) + "]\nColour = 1\n";
    }
    auto filled = setUpBoard(text + "[given]\nRow = 2\nCol = 1\n[after]\nColour = 1\n", {}, false);
    const auto& tiles = filled->tiles();
    ASSERT_EQ(tiles.size(), 6u);
    EXPECT_EQ(std::make_pair(tiles[3]->row, tiles[3]->col), std::make_pair(1, 0));
    EXPECT_EQ(tiles[3]->name(), "auto3");
    EXPECT_EQ(std::make_pair(tiles[5]->row, tiles[5]->col), std::make_pair(2, 2));

    // Odd columns sit half a row lower than even ones; links run N, NE, SE, S, SW, NW.
    auto board = setUpBoard(boardDescription({"1111", "1111", "1111"}, 1));
    auto at = [&](int row, int col) { return board->tileAt(row, col); };
    const std::vector<Tile*> even{nullptr, nullptr, at(0, 3), at(1, 2), at(0, 1), nullptr};
    const std::vector<Tile*> odd{nullptr, at(0, 2), at(1, 2), at(1, 1), at(1, 0), at(0, 0)};
    for (int d = 0; d < 6; ++d) {
        EXPECT_EQ(at(0, 2)->neighbours[static_cast<std::size_t>(d)], even[d]) << d;
        EXPECT_EQ(at(0, 1)->neighbours[static_cast<std::size_t>(d)], odd[d]) << d;
    }
    for (const Tile* tile : board->tiles()) {
        for (int d = 0; d < 6; ++d) {
            if (const Tile* n = tile->neighbours[static_cast<std::size_t>(d)]) {
                EXPECT_EQ(n->neighbours[static_cast<std::size_t>((d + 3) % 6)], tile);
            }
        }
    }
}

TEST(BoardPlacement, HolesAndCellsOutsideTheGridHaveNoLinks) {
    // Cells far outside, and the automatic places after them, on every side of the grid.
    auto board = setUpBoard(boardDescription({"A 1", "111"}, 1) +
                            "[outside]\nRow = 7\nCol = 9\nColour = 2\n"
                            "[far]\nRow = 2147483647\nCol = 2147483647\nColour = 3\n"
                            "[afterFar]\nColour = 4\n"
                            "[low]\nRow = -2147483648\nCol = -2147483648\nColour = 5\n"
                            "[afterLow]\nColour = 6\n[above]\nRow = -2\nCol = 1\n"
                            "[left]\nRow = 1\nCol = -2\n");
    EXPECT_EQ(board->tileAt(0, 1), nullptr);
    EXPECT_EQ(board->tileAt(1, 1)->neighbours[Tile::north], nullptr);
    EXPECT_EQ(board->tileAt(1, 0)->neighbours[Tile::north], board->tileAt(0, 0));
    const auto& tiles = board->tiles();
    for (std::size_t i = 5; i < tiles.size(); ++i) {
        for (const Tile* n : tiles[i]->neighbours) {
            EXPECT_EQ(n, nullptr) << tiles[i]->name();
        }
        // Nobody can reach them, so they do not hold up the end of the game.
        EXPECT_EQ(tiles[i]->colour, 8) << tiles[i]->name();
    }
    EXPECT_EQ(board->players[0].shownScore, 1);
    EXPECT_TRUE(board->playMove(2));
}

TEST(BoardPlayers, StartCellsOfSlotsThatDoNotPlay) {
    const std::string description = boardDescription({"A11B", "1111", "C11D"}, 4);
    BoardSetup setup;
    setup.players = 2;
    setup.slots[2] = {false, 2};
    auto two = setUpBoard(description, setup);
    // Slots 0 and 2 play; the second player is then moved into slot 1 with its settings.
    const bool twoActive[] = {true, true, false, false};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(two->players[i].active, twoActive[i]) << i;
    }
    EXPECT_EQ(two->players[1].index, 2);
    EXPECT_FALSE(two->players[1].isHuman);
    EXPECT_EQ(two->players[1].difficulty, 2);
    EXPECT_EQ(two->players[1].startTile, two->tileAt(2, 0));
    EXPECT_EQ(two->players[2].startTile, nullptr);
    // The start cell of a slot that does not play is an ordinary cell.
    EXPECT_EQ(dynamic_cast<PlayerStart*>(two->tileAt(0, 3)), nullptr);
    EXPECT_NE(two->tileAt(0, 3)->colour, 0);

    setup.players = 3;
    auto three = setUpBoard(description, setup);
    const bool threeActive[] = {true, false, true, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(three->players[i].active, threeActive[i]) << i;
    }
    EXPECT_EQ(three->players[3].index, 3);

    // A slot the description gives no start cell takes no turn and holds no colour.
    auto missing = setUpBoard({"a1111c", "222222"}, 3, setup);
    EXPECT_FALSE(missing->players[1].active);
    EXPECT_EQ(missing->players[0].shownScore, 5);  // the start cell holds the row of 1s
    missing->playMove(4);
    missing->passInactiveSlots();
    EXPECT_EQ(missing->turnPlayer, 2);
    EXPECT_TRUE(missing->isColourFree(2, true));
}

TEST(BoardPlayers, RandomFirstPlayerOnAnInactiveSlotMovesOn) {
    BoardSetup setup;
    setup.players = 3;
    setup.randomFirstPlayer = true;
    // A seed whose first draw gives slot 1 (inactive with three players).
    unsigned seed = 1;
    for (platform::seedRandom(seed); platform::random() * 4LL / 32768 != 1;) {
        platform::seedRandom(++seed);
    }
    platform::seedRandom(seed);
    // No cell is coloured at random, so the first draw is the first player's.
    auto board = setUpBoard(boardDescription({"Ab", "CD"}, 4), setup);
    EXPECT_EQ(board->turnPlayer, 1);
    board->passInactiveSlots();
    EXPECT_EQ(board->turnPlayer, 2);
    EXPECT_EQ(board->currentPlayer, 2);
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

    std::vector<std::string> rows(40, std::string(40, '.'));
    rows[20][20] = 'A';
    // One in eight at a share of 1, plus the few pockets black cells wall in; past 1 every draw
    // beyond black counts as black, never as a colour past it.
    const struct {
        double share;
        int low, high;
    } shares[] = {{0, 0, 0}, {1, 150, 320}, {50, 1200, 1600}};
    for (const auto& s : shares) {
        setup.blackShare = s.share;
        platform::seedRandom(7);
        auto board = setUpBoard(rows, 1, setup);
        EXPECT_GE(countColour(*board, 8), s.low) << s.share;
        EXPECT_LE(countColour(*board, 8), s.high) << s.share;
        for (const Tile* tile : board->tiles()) {
            EXPECT_LE(tile->colour, 8);
        }
    }
}

TEST(BoardColours, AreasNoStartCellCanReachTurnBlackAndTheGameEnds) {
    const struct {
        std::vector<std::string> rows;
        int players;
        int cutColumns;  // the cells left of this column are cut off from every start cell
    } cases[] = {
        // Holes alone cut off three islands.
        {{"..  ... .. A....B"}, 2, 10},
        // A pocket behind a black wall, found only after the wall meets the start cell's area.
        {{"12#3A", "34#56", "56#71"}, 1, 2},
        // The cells behind a black wall and the edge fill; the start cell's side stays.
        {{"A1#23", "11#45", "11#67"}, 1, 0},
        // A start cell given the colour of the cell beside it holds that cell from the start;
        // otherwise the cell would follow its every colour and never be taken.
        {{"a1b"}, 2, 0},
    };
    BoardSetup noBlack;
    noBlack.blackShare = 0;
    for (const auto& c : cases) {
        auto board = setUpBoard(c.rows, c.players, noBlack);
        for (const Tile* tile : board->tiles()) {
            const char drawn =
                c.rows[static_cast<std::size_t>(tile->row)][static_cast<std::size_t>(tile->col)];
            const bool pocket = c.rows[0] == "A1#23" && tile->col > 2;
            EXPECT_EQ(tile->colour == 8, drawn == '#' || tile->col < c.cutColumns || pocket)
                << c.rows[0] << " (" << tile->row << ", " << tile->col << ")";
            EXPECT_EQ(tile->owned, drawn >= 'A' || (c.rows[0] == "a1b" && tile->col == 1));
        }
        int moves = 0;
        while (board->currentPlayer < board->numPlayers && moves++ < 100) {
            Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
            mover.difficulty = 1;
            board->playMove(think(mover, *board).colour);
        }
        EXPECT_TRUE(board->isGameOver()) << c.rows[0];
    }
}

TEST(BoardDescriptions, BrokenDescriptionsAreReportedAndLeaveAHarmlessBoard) {
    const struct {
        std::string text;
        const char* message;
        std::size_t cells;
    } cases[] = {
        {"[General]\nNumRows = 0\nNumCols = 3\nNumPlayers = 1\n", "GameBoard: invalid board size\n",
         0},
        {"[General]\nNumRows = 2\nNumCols = 2\n", "More players required\n", 0},
        {"[General]\nNumRows = 2\nNumCols = 2\nNumPlayers = 5\n",
         "GameBoard: at most 4 players, the board asks for 5\n", 0},
        {"[General]\nNumRows = 2\nNumCols = 2\nNumPlayers = 2\n[a]\nColour = 1\n[s]\nType = "
         "playerstart\nPlayer = 2\n",
         "Invalid player index: 2\n", 1},
        // No General section at all, or two of them: the first one counts.
        {"[a]\nColour = 1\n[b]\nColour = 2\n", "GameBoard: invalid board size\n", 0},
        {"[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\nColour = 1\n[GENERAL]\n"
         "NumRows = 9\n[b]\nColour = 2\n",
         "", 2},
    };
    testing_support::LogCapture log;
    for (const auto& c : cases) {
        log.clear();
        auto board = setUpBoard(c.text);
        EXPECT_EQ(log.text(), c.message);
        EXPECT_EQ(board->tiles().size(), c.cells);
        board->passInactiveSlots();
        board->playMove(1);
        EXPECT_TRUE(board->isColourFree(1, true));
    }
}
