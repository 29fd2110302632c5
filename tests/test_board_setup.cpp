// Building a board from its description: placement, links, players, colours and pockets. The
// board runs here without a window or a resource manager, as in the headless simulator.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "game/computer_player.h"
#include "game/emitter.h"
#include "game/game_board.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "support/board_text.h"
#include "support/test_support.h"

using testing_support::boardDescription;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

std::unique_ptr<GameBoard> setUpBoard(const std::string& description, bool setUp = true) {
    writeFile("board.ini", description);
    auto board = std::make_unique<GameBoard>();
    board->load("board.ini", true);
    if (setUp) {
        board->additionalSetup();
    }
    return board;
}

int countColour(const GameBoard& board, int colour) {
    int count = 0;
    for (const Tile* tile : board.tiles()) {
        count += tile->colour == colour ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(BoardPlacement, OneCellBoardSitsInTheMiddle) {
    ScratchDirectory scratch;
    auto board = setUpBoard(boardDescription({"1"}, 1));
    ASSERT_EQ(board->tiles().size(), 1u);
    const Tile& cell = *board->tiles()[0];
    EXPECT_NEAR(cell.position.x, 0.5, 1e-6);
    EXPECT_NEAR(cell.position.y, 0.25, 1e-4);
    EXPECT_NEAR(cell.uniformScale, 0.2309, 1e-4);
    EXPECT_EQ(cell.rotation.c, 0xC000);
}

TEST(BoardPlacement, CellsWithoutAPlaceFillTheGridRowByRow) {
    ScratchDirectory scratch;
    std::string text = "[General]\nNumRows = 3\nNumCols = 3\nNumPlayers = 1\n";
    for (int i = 0; i < 4; ++i) {
        text += "[auto" + std::to_string(i) + "]\nColour = 1\n";
    }
    text += "[given]\nRow = 2\nCol = 1\nColour = 1\n[after]\nColour = 1\n";
    auto board = setUpBoard(text, false);
    const auto& tiles = board->tiles();
    ASSERT_EQ(tiles.size(), 6u);
    EXPECT_EQ(tiles[3]->row, 1);
    EXPECT_EQ(tiles[3]->col, 0);
    EXPECT_EQ(tiles[3]->name(), "auto3");
    EXPECT_EQ(tiles[5]->row, 2);
    EXPECT_EQ(tiles[5]->col, 2);
}

TEST(BoardPlacement, NeighbourLinksFollowTheColumnParity) {
    ScratchDirectory scratch;
    auto board = setUpBoard(boardDescription({"1111", "1111", "1111"}, 1));
    const Tile* even = board->tileAt(0, 2);
    EXPECT_EQ(even->neighbours[Tile::north], nullptr);
    EXPECT_EQ(even->neighbours[Tile::northEast], nullptr);
    EXPECT_EQ(even->neighbours[Tile::northWest], nullptr);
    EXPECT_EQ(even->neighbours[Tile::southEast], board->tileAt(0, 3));
    EXPECT_EQ(even->neighbours[Tile::southWest], board->tileAt(0, 1));
    const Tile* odd = board->tileAt(0, 1);
    EXPECT_EQ(odd->neighbours[Tile::north], nullptr);
    EXPECT_EQ(odd->neighbours[Tile::northEast], board->tileAt(0, 2));
    EXPECT_EQ(odd->neighbours[Tile::southEast], board->tileAt(1, 2));
    EXPECT_EQ(odd->neighbours[Tile::south], board->tileAt(1, 1));
    EXPECT_EQ(odd->neighbours[Tile::southWest], board->tileAt(1, 0));
    EXPECT_EQ(odd->neighbours[Tile::northWest], board->tileAt(0, 0));
    // Links are symmetric across the whole board.
    for (const Tile* tile : board->tiles()) {
        for (int d = 0; d < 6; ++d) {
            if (const Tile* n = tile->neighbours[static_cast<std::size_t>(d)]) {
                EXPECT_EQ(n->neighbours[static_cast<std::size_t>((d + 3) % 6)], tile);
            }
        }
    }
}

TEST(BoardPlacement, HolesAndCellsOutsideTheGridHaveNoLinks) {
    ScratchDirectory scratch;
    // Cells far outside, and the automatic places after them, on every side of the grid.
    auto board = setUpBoard(boardDescription({"A 1", "111"}, 1) +
                            "[outside]\nRow = 7\nCol = 9\nColour = 2\n"
                            "[far]\nRow = 2147483647\nCol = 2147483647\nColour = 3\n"
                            "[afterFar]\nColour = 4\n"
                            "[low]\nRow = -2147483648\nCol = -2147483648\nColour = 5\n"
                            "[afterLow]\nColour = 6\n"
                            "[above]\nRow = -2\nCol = 1\n"
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
    EXPECT_TRUE(board->playMove(2));
}

TEST(BoardPlayers, FourStartCellsForTwoOrThreePlayers) {
    ScratchDirectory scratch;
    const std::string description = boardDescription({"A11B", "1111", "C11D"}, 4);
    writeFile("players.ini", "[General]\nplayers = 2\n[3]\nAI Controlled = 1\nDifficulty = 2\n");
    auto two = setUpBoard(description);
    // Slots 0 and 2 play; the second player is then moved into slot 1.
    EXPECT_TRUE(two->players[0].active);
    EXPECT_TRUE(two->players[1].active);
    EXPECT_FALSE(two->players[2].active);
    EXPECT_FALSE(two->players[3].active);
    EXPECT_EQ(two->players[1].index, 2);
    EXPECT_FALSE(two->players[1].isHuman);  // it keeps the settings of section "3"
    EXPECT_EQ(two->players[1].difficulty, 2);
    EXPECT_EQ(two->players[1].startTile, two->tileAt(2, 0));
    EXPECT_EQ(two->players[2].startTile, nullptr);
    // The start cell of a slot that does not play is an ordinary cell.
    EXPECT_EQ(two->tileAt(0, 3)->getTypeId(), 35);
    EXPECT_NE(two->tileAt(0, 3)->colour, 0);

    writeFile("players.ini", "[General]\nplayers = 3\n");
    auto three = setUpBoard(description);
    EXPECT_TRUE(three->players[0].active);
    EXPECT_FALSE(three->players[1].active);
    EXPECT_TRUE(three->players[2].active);
    EXPECT_TRUE(three->players[3].active);
    EXPECT_EQ(three->players[3].index, 3);
}

TEST(BoardPlayers, RandomFirstPlayerOnAnInactiveSlotMovesOn) {
    ScratchDirectory scratch;
    writeFile("players.ini", "[General]\nplayers = 3\nrandomFirstPlayer = 1\n");
    // Find a seed whose draw for the first player gives slot 1 (inactive with three players).
    unsigned seed = 1;
    for (;; ++seed) {
        platform::seedRandom(seed);
        if (platform::random() * 4LL / 32768 == 1) {
            break;
        }
    }
    platform::seedRandom(seed);
    // No cell is coloured at random, so the first draw is the first player's.
    auto board = setUpBoard(boardDescription({"Ab", "CD"}, 4));
    EXPECT_EQ(board->turnPlayer, 1);
    board->update();
    EXPECT_EQ(board->turnPlayer, 2);
    EXPECT_EQ(board->currentPlayer, 2);
}

TEST(BoardColours, NoBlackCellWithinTwoStepsOfAStartCell) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "[game]\nblackTiles = 1\n");
    int blackThreeStepsAway = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        platform::seedRandom(seed);
        auto board = setUpBoard(boardDescription({"......", "..A...", "......", "......"}, 1));
        // Steps from the start cell, over the links.
        std::map<const Tile*, int> steps{{board->tileAt(1, 2), 0}};
        std::vector<const Tile*> queue{board->tileAt(1, 2)};
        for (std::size_t i = 0; i < queue.size(); ++i) {
            for (const Tile* n : queue[i]->neighbours) {
                if (n != nullptr && steps.count(n) == 0) {
                    steps[n] = steps[queue[i]] + 1;
                    queue.push_back(n);
                }
            }
        }
        for (const auto& [tile, distance] : steps) {
            if (distance <= 2) {
                EXPECT_NE(tile->colour, 8) << "seed " << seed;
            } else if (distance == 3 && tile->colour == 8) {
                ++blackThreeStepsAway;
            }
        }
    }
    EXPECT_GT(blackThreeStepsAway, 0);
}

TEST(BoardColours, ShareOfBlackCells) {
    ScratchDirectory scratch;
    std::vector<std::string> rows(40, std::string(40, '.'));
    rows[20][20] = 'A';
    writeFile("settings.ini", "[game]\nblackTiles = 0\n");
    platform::seedRandom(7);
    EXPECT_EQ(countColour(*setUpBoard(boardDescription(rows, 1)), 8), 0);
    writeFile("settings.ini", "[game]\nblackTiles = 1\n");
    platform::seedRandom(7);
    const int black = countColour(*setUpBoard(boardDescription(rows, 1)), 8);
    // One in eight, plus the few pockets black cells wall in.
    EXPECT_GT(black, 150);
    EXPECT_LT(black, 320);
    // Past one in one every draw beyond black counts as black: never a colour past black.
    writeFile("settings.ini", "[game]\nblackTiles = 50\n");
    platform::seedRandom(7);
    auto wild = setUpBoard(boardDescription(rows, 1));
    EXPECT_GT(countColour(*wild, 8), 1200);
    for (const Tile* tile : wild->tiles()) {
        EXPECT_LE(tile->colour, 8);
    }
}

TEST(BoardColours, PocketsWalledInByBlackTurnBlackUnlessAStartCellIsInside) {
    ScratchDirectory scratch;
    // The right-hand pocket (two cells behind a black wall and the edge) fills; the left one
    // holds the start cell and stays.
    auto board = setUpBoard(boardDescription({"A1#23", "11#45", "11#67"}, 1));
    EXPECT_EQ(board->tileAt(0, 3)->colour, 8);
    EXPECT_EQ(board->tileAt(2, 4)->colour, 8);
    EXPECT_FALSE(board->tileAt(0, 3)->owned);
    EXPECT_EQ(board->tileAt(0, 1)->colour, 1);
    EXPECT_TRUE(board->tileAt(0, 0)->owned);
    EXPECT_EQ(countColour(*board, 8), 9);
}

TEST(BoardColours, AreasNoStartCellCanReachTurnBlackAndTheGameEnds) {
    ScratchDirectory scratch;
    struct Case {
        std::vector<std::string> rows;
        int players;
        int cutColumns;  // the cells left of this column are cut off from every start cell
    };
    const Case cases[] = {
        // Holes alone cut off three islands: nobody could ever take them.
        {{"..  ... .. A....B"}, 2, 10},
        // A pocket behind a black wall, found only after the wall meets the start cell's area.
        {{"12#3A", "34#56", "56#71"}, 1, 2},
        // A start cell given the colour of the cell beside it holds that cell from the start;
        // otherwise the cell would follow its every colour and never be taken.
        {{"a1b"}, 2, 0},
    };
    for (const Case& c : cases) {
        auto board = setUpBoard(boardDescription(c.rows, c.players));
        for (const Tile* tile : board->tiles()) {
            const bool wall =
                c.rows[static_cast<std::size_t>(tile->row)][static_cast<std::size_t>(tile->col)] ==
                '#';
            EXPECT_EQ(tile->colour == 8, wall || tile->col < c.cutColumns)
                << c.rows[0] << " (" << tile->row << ", " << tile->col << ")";
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

TEST(BoardColours, EveryCellGetsAnEmitterAtItsCentre) {
    ScratchDirectory scratch;
    auto board = setUpBoard(boardDescription({"A12", "345"}, 1));
    for (const Tile* tile : board->tiles()) {
        ASSERT_NE(tile->emitter, nullptr);
        EXPECT_EQ(tile->emitter->colour, tile->colour);
        EXPECT_FLOAT_EQ(tile->emitter->position.z, 0.1f);
        EXPECT_FLOAT_EQ(tile->emitter->size, tile->uniformScale / 2);
        EXPECT_EQ(tile->emitter->owner, board.get());
    }
    EXPECT_EQ(board->objectCount(), 12);
}

TEST(BoardDescriptions, BrokenDescriptionsAreReportedAndLeaveAHarmlessBoard) {
    ScratchDirectory scratch;
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"[General]\nNumRows = 0\nNumCols = 3\nNumPlayers = 1\n",
         "GameBoard: invalid board size\n"},
        {"[General]\nNumRows = 2\nNumCols = 2\n", "More players required\n"},
        {"[General]\nNumRows = 2\nNumCols = 2\nNumPlayers = 5\n",
         "GameBoard: at most 4 players, the board asks for 5\n"},
        {"[General]\nNumRows = 2\nNumCols = 2\nNumPlayers = 2\n[a]\nColour = 1\n[s]\nType = "
         "playerstart\nPlayer = 2\n",
         "Invalid player index: 2\n"},
    };
    for (const Case& c : cases) {
        std::remove("debug.log");
        auto board = setUpBoard(c.text);
        // The board's own message, then the file it came from.
        EXPECT_EQ(readFile("debug.log"),
                  std::string(c.message) + "Unable to use map file 'board.ini'\n");
        board->update();
        board->mouseButtonPressed(0.5, 0.5, 1);
        EXPECT_TRUE(board->isColourFree(1, true));
    }
}

TEST(BoardPlayers, ASlotWithoutAStartCellTakesNoTurnAndHoldsNoColour) {
    ScratchDirectory scratch;
    writeFile("players.ini", "[General]\nplayers = 3\n");
    // Three slots, but the description gives slot 1 no start cell.
    auto board = setUpBoard(boardDescription({"a1111c", "222222"}, 3));
    EXPECT_TRUE(board->players[0].active);
    EXPECT_FALSE(board->players[1].active);
    EXPECT_TRUE(board->players[2].active);
    board->takeTurn(4);
    board->update();
    EXPECT_EQ(board->turnPlayer, 2);
    EXPECT_TRUE(board->isColourFree(2, true));
}

TEST(BoardDescriptions, DescriptionWithoutAGeneralSectionOrWithTwo) {
    ScratchDirectory scratch;
    auto none = setUpBoard("[a]\nColour = 1\n[b]\nColour = 2\n");
    EXPECT_EQ(none->tiles().size(), 0u);
    auto twice = setUpBoard(
        "[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\nColour = 1\n[GENERAL]\n"
        "NumRows = 9\n[b]\nColour = 2\n");
    EXPECT_EQ(twice->tiles().size(), 2u);
    EXPECT_EQ(twice->numRows, 1);
}
