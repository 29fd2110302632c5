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
    // Per case: the board, its players, the colours played, and what is left: each cell as its
    // colour, a digit when free, a letter when owned ('a' for 1 .. 'h' for 8, '`' for 0); the
    // scores; whether the game is over.
    const std::tuple<std::vector<std::string>, int, std::vector<int>, std::string, std::vector<int>,
                     bool>
        cases[] = {
            // In one row each cell touches the ones left and right of it: the 1 beyond the 2 is
            // not joined to the territory.
            {{"A1121B"}, 2, {1}, "aaa21`", {3, 1}, false},
            // Territories never merge: player 0 takes the row of 4s beside player 1, which then
            // takes the 3, and every cell is someone's.
            {{"a1b3", "4444"}, 2, {4, 3}, "ddccdddd", {6, 2}, true},
            // The 3 and 4 are walled in by the mover's colour, a black cell and the edge, and the
            // black cell with them; the same area touching the other player's start stays free.
            {{"a134#", "11111", "b1111"}, 2, {5}, "eeeeeeeeeebeeee", {14, 1}, true},
            {{"a13b", "1111"}, 2, {5}, "ee3beeee", {6, 1}, false},
            // Taking 1 claims two cells and walls in the rest, black cells included: the game is
            // over at once, and nobody moves after it.
            {{"A1#", "12#"}, 1, {1, 3}, "aaaaaa", {6}, true},
            // Black cells never walled in stay black and do not hold the game up.
            {{"a1#b"}, 2, {3}, "cc8b", {2, 1}, true},
        };
    for (const auto& [rows, players, moves, cells, scores, over] : cases) {
        auto board = setUpBoard(rows, players);
        for (int colour : moves) {
            board->playMove(colour);
        }
        std::string shown;
        for (const Tile* tile : board->tiles()) {
            shown += static_cast<char>((tile->owned ? '`' : '0') + tile->colour);
        }
        EXPECT_EQ(shown, cells) << rows[0];
        for (std::size_t i = 0; i < scores.size(); ++i) {
            const Player& player = board->players[i];
            EXPECT_EQ(player.score, scores[i]) << rows[0] << ", player " << i;
            EXPECT_EQ(player.shownScore, player.score) << rows[0] << ", player " << i;
            EXPECT_EQ(player.startTile->playerColour, player.startTile->colour) << rows[0];
        }
        EXPECT_EQ(board->isGameOver(), over) << rows[0];
        EXPECT_EQ(board->currentPlayer == players && board->turnPlayer == players, over);
    }
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
