// The rules of a move: recolouring, claiming, capture, scores, turns and the end of the game.
// A plain recursive transcription of the rules serves as the reference for random games.
#include <gtest/gtest.h>
#include <pthread.h>

#include <map>
#include <memory>
#include <string>
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
        int neighbours[6];
    };
    std::vector<Cell> cells;

    explicit Reference(const Board& board) {
        std::map<const Tile*, int> index;
        for (const Tile* tile : board.tiles()) {
            index[tile] = static_cast<int>(index.size());
        }
        for (const Tile* tile : board.tiles()) {
            Cell cell{tile->colour, tile->owned, tile->mark, {}};
            for (int d = 0; d < 6; ++d) {
                const Tile* n = tile->neighbours[static_cast<std::size_t>(d)];
                cell.neighbours[d] = n != nullptr ? index[n] : -1;
            }
            cells.push_back(cell);
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
        for (int n : at(t).neighbours) {
            if (n < 0) {
                continue;
            }
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
        for (int n : at(t).neighbours) {
            if (n >= 0 && !at(n).owned && at(n).colour == at(t).colour) {
                count += claim(n);
            }
        }
        return count;
    }
    int captureEnclosed(int t) {
        const int c = at(t).colour;
        at(t).mark = c;
        int count = 0;
        for (int n : at(t).neighbours) {
            if (n < 0 || at(n).mark == c) {
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
        for (int n : at(t).neighbours) {
            if (n < 0) {
                continue;
            }
            if (at(n).owned && at(n).colour != c) {
                markRegion(t, c);
                return false;
            }
            if (!at(n).owned && at(n).mark == c && at(n).colour != 8) {
                visited = true;
            }
        }
        for (int n : at(t).neighbours) {
            if (n < 0 || at(n).owned || at(n).mark == c || (!black && at(n).colour == 8)) {
                continue;
            }
            if (!isEnclosed(n, c, counter)) {
                markRegion(t, c);
                return false;
            }
            if (black && at(n).colour != 8) {
                counter += absorb(n, c);
            }
        }
        return !(black && visited);
    }
    void markRegion(int t, int m) {
        at(t).mark = m;
        for (int n : at(t).neighbours) {
            if (n >= 0 && !at(n).owned && at(n).mark != m &&
                (at(n).colour == 8) == (at(t).colour == 8)) {
                markRegion(n, m);
            }
        }
    }
    int absorb(int t, int c) {
        const int old = at(t).colour;
        at(t).colour = c;
        at(t).owned = true;
        int count = 1;
        for (int n : at(t).neighbours) {
            if (n >= 0 && !at(n).owned && (at(n).colour != 8 || old == 8)) {
                count += absorb(n, c);
            }
        }
        return count;
    }
    // A move as the board plays it: stamps are cleared before every capture walk.
    int move(int start, int c) {
        int score = recolour(start, c);
        int captured;
        do {
            for (Cell& cell : cells) {
                cell.mark = 0;
            }
            captured = captureEnclosed(start);
            score += captured;
        } while (captured != 0);
        return score;
    }
};

int indexOf(const Board& board, const Tile* tile) {
    for (std::size_t i = 0; i < board.tiles().size(); ++i) {
        if (board.tiles()[i] == tile) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A free colour for the player to move, drawn at random.
int randomFreeColour(const Board& board) {
    std::vector<int> free;
    for (int c = 1; c <= 7; ++c) {
        if (board.isColourFree(c, false)) {
            free.push_back(c);
        }
    }
    return free[static_cast<std::size_t>(platform::random()) % free.size()];
}

}  // namespace

TEST(Moves, FirstMoveFromAnUncolouredStartClaimsTouchingAreas) {
    // In one row, each cell touches the ones left and right of it.
    auto board = setUpBoard({"A1121B"}, 2);
    board->playMove(1);
    EXPECT_EQ(board->players[0].score, 3);
    EXPECT_EQ(board->players[0].shownScore, 3);
    EXPECT_TRUE(board->tileAt(0, 2)->owned);
    EXPECT_FALSE(board->tileAt(0, 4)->owned);  // colour 1, but not joined to the territory
    EXPECT_EQ(board->players[0].startTile->playerColour, 1);
    EXPECT_EQ(board->players[0].startTile->colour, 1);
}

TEST(Moves, OldColourIsRepaintedButOnlyClaimedTilesAreTaken) {
    auto board = setUpBoard({"a12b"}, 2);
    // Set-up gives the start cell the 1 beside it; take it back to see the rule on its own.
    board->tileAt(0, 1)->owned = false;
    board->players[0].score = 1;
    board->playMove(3);
    // The unowned cell of the mover's old colour took the new colour but is not the mover's:
    // its area touches the other player, so it is not captured either.
    EXPECT_EQ(board->tileAt(0, 1)->colour, 3);
    EXPECT_FALSE(board->tileAt(0, 1)->owned);
    EXPECT_EQ(board->players[0].score, 1);
}

TEST(Moves, TerritoriesNeverMerge) {
    auto board = setUpBoard({"a1b3", "4444"}, 2);
    board->playMove(4);  // player 0 repaints its 1 and takes the row of 4s, beside player 1
    EXPECT_EQ(board->players[0].score, 6);
    EXPECT_EQ(board->tileAt(0, 2)->colour, 2);
    EXPECT_FALSE(board->tileAt(0, 3)->owned);  // it touches player 1
    board->playMove(3);                        // player 1 takes the 3; every cell is now someone's
    EXPECT_EQ(board->players[1].score, 2);
    EXPECT_EQ(board->tileAt(1, 2)->colour, 4);  // player 0's cells beside it stay player 0's
    EXPECT_TRUE(board->isGameOver());
}

TEST(Moves, EnclosedAreaIsCapturedUnlessItTouchesAnotherTerritory) {
    // The 3 and 4 cells are walled in by the mover's colour, a black cell and the edge; the black
    // cell is walled in as well, and goes with them.
    auto walled = setUpBoard({"a134#", "11111", "b1111"}, 2);
    walled->playMove(5);
    EXPECT_TRUE(walled->tileAt(0, 2)->owned);
    EXPECT_TRUE(walled->tileAt(0, 3)->owned);
    EXPECT_EQ(walled->tileAt(0, 2)->colour, 5);
    EXPECT_TRUE(walled->tileAt(0, 4)->owned);
    EXPECT_EQ(walled->tileAt(0, 4)->colour, 5);
    // The same area touching the other player's start cell stays free.
    auto open = setUpBoard({"a13b", "1111"}, 2);
    open->playMove(5);
    EXPECT_FALSE(open->tileAt(0, 2)->owned);
    EXPECT_EQ(open->tileAt(0, 2)->colour, 3);
}

TEST(Moves, TheLastTileEndsTheGameAtOnce) {
    // Taking colour 1 claims two cells and walls in the rest, black cells included.
    auto board = setUpBoard({"A1#", "12#"}, 1);
    EXPECT_FALSE(board->isGameOver());
    board->playMove(1);
    EXPECT_TRUE(board->isGameOver());
    EXPECT_EQ(board->currentPlayer, board->numPlayers);
    EXPECT_EQ(board->turnPlayer, board->numPlayers);
    EXPECT_EQ(board->players[0].shownScore, 6);
    // Once over, nobody moves.
    board->playMove(3);
    EXPECT_EQ(board->players[0].score, 6);
}

TEST(Moves, BlackCellsNeverWalledInStayBlackAndDoNotHoldTheGameUp) {
    auto board = setUpBoard({"a1#b"}, 2);
    board->playMove(3);
    EXPECT_EQ(board->players[0].score, 2);
    EXPECT_TRUE(board->isGameOver());
    EXPECT_FALSE(board->tileAt(0, 2)->owned);
    EXPECT_EQ(board->tileAt(0, 2)->colour, 8);
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
        const int players = layout.size() == 5 && layout[0].size() == 7 ? 4 : 2;
        platform::seedRandom(seed);
        auto board = setUpBoard(layout, players, setup);
        Reference reference(*board);
        while (!board->isGameOver() && movesChecked < 100000) {
            Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
            const int colour = randomFreeColour(*board);
            const int start = indexOf(*board, mover.startTile);
            const int expectedScore = mover.score + reference.move(start, colour);
            board->playMove(colour);
            ++movesChecked;
            ASSERT_EQ(mover.score, expectedScore) << "seed " << seed;
            for (std::size_t i = 0; i < board->tiles().size(); ++i) {
                const Tile* tile = board->tiles()[i];
                ASSERT_EQ(tile->colour, reference.cells[i].colour) << "seed " << seed;
                ASSERT_EQ(tile->owned, reference.cells[i].owned) << "seed " << seed;
                ASSERT_EQ(tile->mark, reference.cells[i].mark) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(movesChecked, 300);
}

// Every territory walk of a long board reaches one cell deeper per cell. Run on a thread with a
// small stack, a walk that recursed once per cell would overflow it; the walks keep their own
// stacks, so the board is set up and played to its end.
TEST(Moves, DeepWalksOnALongBoardNeverOverflowTheStack) {
    constexpr std::size_t length = 30000;
    struct Result {
        bool over = false;
        int scores[2] = {0, 0};
    } result;
    auto play = [](void* out) -> void* {
        // Player 0's start holds the row of 1s from set-up (a deep claim); its first move
        // repaints it (a deep recolour) and finds the row of 3s beside player 1 (a deep
        // isEnclosed, then a deep markRegion); player 1 then takes that row (a deep claim).
        auto board = setUpBoard({"a" + std::string(length - 2, '3') + "b", std::string(length, '1')},
                                2, BoardSetup{});
        board->playMove(4);
        board->playMove(3);
        auto* r = static_cast<Result*>(out);
        r->over = board->isGameOver();
        r->scores[0] = board->players[0].score;
        r->scores[1] = board->players[1].score;
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 512 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, play, &result), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_TRUE(result.over);
    EXPECT_EQ(result.scores[0], static_cast<int>(length) + 1);
    EXPECT_EQ(result.scores[1], static_cast<int>(length) - 1);
}
