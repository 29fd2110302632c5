// The rules of a move: recolouring, claiming, capture, scores, turns and the end of the game.
// A plain recursive transcription of the rules serves as the reference for random games.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "game/board.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

namespace {

// The rules as plain recursion over a copy of the board.
struct Reference {
    struct Cell {
        int colour;
        bool owned;
        int mark;
        std::vector<int> around;  // the neighbours there are, in link order
    };
    std::vector<Cell> cells;

    explicit Reference(const Board& board) {
        const auto& tiles = board.tiles();
        for (const Tile* tile : tiles) {
            cells.push_back({tile->colour, tile->owned, tile->mark, {}});
            for (const Tile* n : tile->neighbours) {
                if (n != nullptr) {
                    cells.back().around.push_back(
                        static_cast<int>(std::find(tiles.begin(), tiles.end(), n) - tiles.begin()));
                }
            }
        }
    }
    Cell& at(int i) { return cells[static_cast<std::size_t>(i)]; }

    int recolour(int t, int c) {
        if (c == at(t).colour) {
            return 0;
        }
        const int old = at(t).colour;
        at(t).colour = c;
        int count = 0;
        for (int n : at(t).around) {
            if (at(n).colour == old) {
                count += recolour(n, c);
            } else if (at(n).colour == c && !at(n).owned) {
                count += claim(n);
            }
        }
        return count;
    }
    int claim(int t) {
        if (at(t).owned) {
            return 0;
        }
        at(t).owned = true;
        int count = 1;
        for (int n : at(t).around) {
            count += !at(n).owned && at(n).colour == at(t).colour ? claim(n) : 0;
        }
        return count;
    }
    int captureEnclosed(int t) {
        const int c = at(t).colour;
        at(t).mark = c;
        int count = 0;
        for (int n : at(t).around) {
            if (at(n).mark == c) {
                continue;
            }
            if (at(n).owned && at(n).colour == c) {
                count += captureEnclosed(n);
            } else if (!at(n).owned && isEnclosed(n, c, count)) {
                count += absorb(n, c);
            }
        }
        return count;
    }
    bool isEnclosed(int t, int c, int& counter) {
        at(t).mark = c;
        bool visited = false;
        const bool black = at(t).colour == 8;
        for (int n : at(t).around) {
            if (at(n).owned && at(n).colour != c) {
                markRegion(t, c);
                return false;
            }
            visited = visited || (!at(n).owned && at(n).mark == c && at(n).colour != 8);
        }
        for (int n : at(t).around) {
            if (at(n).owned || at(n).mark == c || (!black && at(n).colour == 8)) {
                continue;
            }
            if (!isEnclosed(n, c, counter)) {
                markRegion(t, c);
                return false;
            }
            counter += black && at(n).colour != 8 ? absorb(n, c) : 0;
        }
        return !(black && visited);
    }
    void markRegion(int t, int m) {
        at(t).mark = m;
        for (int n : at(t).around) {
            if (!at(n).owned && at(n).mark != m && (at(n).colour == 8) == (at(t).colour == 8)) {
                markRegion(n, m);
            }
        }
    }
    int absorb(int t, int c) {
        const int old = at(t).colour;
        at(t).colour = c;
        at(t).owned = true;
        int count = 1;
        for (int n : at(t).around) {
            count += !at(n).owned && (at(n).colour != 8 || old == 8) ? absorb(n, c) : 0;
        }
        return count;
    }
    // A move as the board plays it: stamps are cleared before every capture walk.
    int move(int start, int c) {
        int score = recolour(start, c);
        for (int captured = 1; captured != 0; score += captured) {
            for (Cell& cell : cells) {
                cell.mark = 0;
            }
            captured = captureEnclosed(start);
        }
        return score;
    }
};

}  // namespace

TEST(Moves, ClaimRecolourCaptureAndTheEndOfTheGame) {
    // In one row, each cell touches the ones left and right of it. The 1 beyond the 2 is not
    // joined to the territory.
    auto first = setUpBoard({"A1121B"}, 2);
    EXPECT_EQ(first->players[0].shownScore, 1);
    first->playMove(1);
    EXPECT_EQ(first->players[0].score, 3);
    EXPECT_EQ(first->players[0].shownScore, 3);
    EXPECT_FALSE(first->tileAt(0, 4)->owned);
    EXPECT_EQ(first->players[0].startTile->playerColour, 1);
    EXPECT_EQ(first->players[0].startTile->colour, 1);

    // Set-up gives the start cell the 1 beside it; taken back, the cell of the mover's old colour
    // takes the new colour but is not the mover's, nor captured: it touches the other player.
    auto repainted = setUpBoard({"a12b"}, 2);
    repainted->tileAt(0, 1)->owned = false;
    repainted->players[0].score = 1;
    repainted->playMove(3);
    EXPECT_EQ(repainted->tileAt(0, 1)->colour, 3);
    EXPECT_FALSE(repainted->tileAt(0, 1)->owned);
    EXPECT_EQ(repainted->players[0].score, 1);

    // Territories never merge: player 0 takes the row of 4s beside player 1, then player 1 takes
    // the 3, and every cell is someone's.
    auto apart = setUpBoard({"a1b3", "4444"}, 2);
    apart->playMove(4);
    EXPECT_EQ(apart->players[0].score, 6);
    EXPECT_FALSE(apart->tileAt(0, 3)->owned);
    apart->playMove(3);
    EXPECT_EQ(apart->players[1].score, 2);
    EXPECT_EQ(apart->tileAt(1, 2)->colour, 4);
    EXPECT_TRUE(apart->isGameOver());

    // The 3 and 4 are walled in by the mover's colour, a black cell and the edge, and the black
    // cell with them; the same area touching the other player's start cell stays free.
    auto walled = setUpBoard({"a134#", "11111", "b1111"}, 2);
    walled->playMove(5);
    for (int col = 2; col <= 4; ++col) {
        EXPECT_TRUE(walled->tileAt(0, col)->owned);
        EXPECT_EQ(walled->tileAt(0, col)->colour, 5);
    }
    auto open = setUpBoard({"a13b", "1111"}, 2);
    open->playMove(5);
    EXPECT_FALSE(open->tileAt(0, 2)->owned);
    EXPECT_EQ(open->tileAt(0, 2)->colour, 3);

    // Taking 1 claims two cells and walls in the rest, black cells included: the game is over at
    // once, and nobody moves after it.
    auto last = setUpBoard({"A1#", "12#"}, 1);
    EXPECT_FALSE(last->isGameOver());
    EXPECT_TRUE(last->playMove(1));
    EXPECT_EQ(last->currentPlayer, 1);
    EXPECT_EQ(last->turnPlayer, 1);
    EXPECT_EQ(last->players[0].shownScore, 6);
    last->playMove(3);
    EXPECT_EQ(last->players[0].score, 6);

    // Black cells never walled in stay black and do not hold the game up.
    auto black = setUpBoard({"a1#b"}, 2);
    EXPECT_TRUE(black->playMove(3));
    EXPECT_EQ(black->players[0].score, 2);
    EXPECT_FALSE(black->tileAt(0, 2)->owned);
    EXPECT_EQ(black->tileAt(0, 2)->colour, 8);
}

TEST(Moves, HeldColoursAreNotFree) {
    auto board = setUpBoard({"a2b", "333"}, 2);
    EXPECT_FALSE(board->isColourFree(1, false));
    EXPECT_FALSE(board->isColourFree(2, true));
    EXPECT_TRUE(board->isColourFree(3, false));
    board->players[1].active = false;
    EXPECT_TRUE(board->isColourFree(2, false));
}

TEST(Moves, RandomGamesFollowThePlainRecursiveRules) {
    BoardSetup setup;
    setup.blackShare = 0.6;
    const std::vector<std::vector<std::string>> layouts = {
        {"A.....B", ".......", ".......", ".......", "C.....D"},
        {"A...  .", "..... .", "...#...", "  ....B"},
        {"A........", ".........", "....#....", ".........", "........B"},
    };
    int movesChecked = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        const auto& layout = layouts[seed % layouts.size()];
        platform::seedRandom(seed);
        auto board = setUpBoard(layout, seed % 3 == 0 ? 4 : 2, setup);
        const auto& tiles = board->tiles();
        Reference reference(*board);
        while (!board->isGameOver() && movesChecked < 100000) {
            Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
            // A free colour, drawn at random.
            std::vector<int> free;
            for (int c = 1; c <= 7; ++c) {
                if (board->isColourFree(c, false)) {
                    free.push_back(c);
                }
            }
            const int colour = free[static_cast<std::size_t>(platform::random()) % free.size()];
            const auto start = std::find(tiles.begin(), tiles.end(), mover.startTile);
            const int expectedScore =
                mover.score + reference.move(static_cast<int>(start - tiles.begin()), colour);
            board->playMove(colour);
            ++movesChecked;
            ASSERT_EQ(mover.score, expectedScore) << "seed " << seed;
            for (std::size_t i = 0; i < tiles.size(); ++i) {
                const Reference::Cell& cell = reference.cells[i];
                ASSERT_EQ(std::make_tuple(tiles[i]->colour, tiles[i]->owned, tiles[i]->mark),
                          std::make_tuple(cell.colour, cell.owned, cell.mark))
                    << "seed " << seed << ", cell " << i;
            }
        }
    }
    EXPECT_GT(movesChecked, 300);
}

// Every territory walk of a long board reaches one cell deeper per cell. Run on a thread with a
// small stack, a walk that recursed once per cell would overflow it; the walks keep their own
// stacks, so the board is set up and played to its end.
TEST(Moves, DeepWalksOnALongBoardNeverOverflowTheStack) {
    constexpr int length = 30000;
    std::array<int, 3> result{};  // game over, the two scores
    auto play = [](void* out) -> void* {
        // Player 0's start holds the row of 1s from set-up (a deep claim); its first move
        // repaints it (a deep recolour) and finds the row of 3s beside player 1 (a deep
        // isEnclosed, then a deep markRegion); player 1 then takes that row (a deep claim).
        auto board =
            setUpBoard({"a" + std::string(length - 2, '3') + "b", std::string(length, '1')}, 2);
        board->playMove(4);
        board->playMove(3);
        *static_cast<std::array<int, 3>*>(out) = {board->isGameOver(), board->players[0].score,
                                                  board->players[1].score};
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 512 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, play, &result), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(result, (std::array<int, 3>{true, length + 1, length - 1}));
}
