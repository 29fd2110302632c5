// The board: building it from its description (placement, links, players, colours, pockets),
// and the rules of a move (recolouring, claiming, capture, scores, turns and the end of the
// game). A plain recursive transcription of the rules serves as the reference for random games.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "support/test_boards.h"

using namespace testing_support;

// Each of `items` (cells, players) as a letter.
template <typename Items, typename Show>
static std::string lettersOf(const Items& items, Show shown) {
    std::string text;
    for (const auto& item : items)
        text += shown(item);
    return text;
}

TEST(BoardPlacement, CellsArePlacedAndLinkedHolesAndCellsOutsideTheGridTurnBlack) {
    auto single = setUpBoard({"1"}, 1);
    const Tile& one = *single->tiles()[0];
    EXPECT_NEAR((one.position - Vector(0.5f, 0.25f, 0)).length(), 0, 1e-4);
    EXPECT_NEAR(one.uniformScale, 0.2309, 1e-4);
    EXPECT_EQ(one.rotation.c, 0xC000);
    // Sections without a place fill the grid row by row, on from the last place given.
    auto filled = setUpBoard(
        "[General]\nNumRows = 3\nNumCols = 3\nNumPlayers = 1\n[a]\n[b]\n[c]\n"
        "[d]\n[given]\nRow = 2\nCol = 1\n[after]\n");
    const Tile &d = *filled->tiles()[3], &after = *filled->tiles()[5];
    EXPECT_TRUE(d.name() == "d" && d.row == 1 && d.col == 0 && after.row == 2 && after.col == 2);
    // Odd columns sit half a row lower than even ones; links run N, NE, SE, S, SW, NW.
    auto board = setUpBoard({"1111", "1111", "1111"}, 1);
    auto at = [&](int row, int col) { return board->tileAt(row, col); };
    const std::array<Tile*, 6> even{nullptr, nullptr, at(0, 3), at(1, 2), at(0, 1), nullptr};
    const std::array<Tile*, 6> odd{nullptr, at(0, 2), at(1, 2), at(1, 1), at(1, 0), at(0, 0)};
    EXPECT_EQ(at(0, 2)->neighbours, even);
    EXPECT_EQ(at(0, 1)->neighbours, odd);
    // Cells far outside, and the automatic places after them, on every side of the grid.
    board = setUpBoard(boardDescription({"A 1", "111"}, 1) +
                       "[outside]\nRow = 7\nCol = 9\n[far]\nRow = 2147483647\n"
                       "Col = 2147483647\n[afterFar]\n[low]\nRow = -2147483648\n"
                       "Col = -2147483648\n[afterLow]\n[above]\nRow = -2\nCol = 1\n"
                       "[left]\nRow = 1\nCol = -2\n");
    EXPECT_EQ(board->tileAt(0, 1), nullptr);
    EXPECT_EQ(board->tileAt(1, 1)->neighbours[Tile::north], nullptr);
    EXPECT_EQ(board->tileAt(1, 0)->neighbours[Tile::north], board->tileAt(0, 0));
    const auto& tiles = board->tiles();
    // Nobody can reach them, so they do not hold up the end of the game.
    for (std::size_t i = 5; i < tiles.size(); ++i)
        EXPECT_TRUE(tiles[i]->neighbours == (std::array<Tile*, 6>{}) && tiles[i]->colour == 8)
            << tiles[i]->name();
    EXPECT_EQ(board->players[0].shownScore, 1);
    EXPECT_TRUE(board->playMove(2));  // the game is over at once
}

TEST(BoardPlayers, SlotsThatDoNotPlay) {
    auto activeSlots = [](const Board& board) {
        return lettersOf(board.players, [](const Player& p) { return p.active ? 'y' : 'n'; });
    };
    const std::string description = boardDescription({"A11B", "1111", "C11D"}, 4);
    BoardSetup setup{2};
    setup.slots[2] = {false, 2};
    // Slots 0 and 2 play; the second player is then moved into slot 1 with its settings. The
    // start cell of a slot that does not play is an ordinary cell.
    auto two = setUpBoard(description, setup);
    EXPECT_EQ(activeSlots(*two), "yynn");
    const Player& second = two->players[1];
    EXPECT_EQ(std::make_tuple(second.index, second.isHuman, second.difficulty, second.startTile),
              std::make_tuple(2, false, 2, static_cast<PlayerStart*>(two->tileAt(2, 0))));
    EXPECT_TRUE(!dynamic_cast<PlayerStart*>(two->tileAt(0, 3)) && two->tileAt(0, 3)->colour != 0);
    setup.players = 3;
    auto three = setUpBoard(description, setup);
    EXPECT_EQ(activeSlots(*three), "ynyy");
    EXPECT_EQ(three->players[3].index, 3);
    // A slot the description gives no start cell takes no turn and holds no colour.
    auto missing = setUpBoard({"a1111c", "222222"}, 3, setup);
    EXPECT_EQ(activeSlots(*missing), "yny");
    EXPECT_EQ(missing->players[0].shownScore, 5);  // the start cell holds the row of 1s
    missing->playMove(4);
    missing->passInactiveSlots();
    EXPECT_TRUE(missing->turnPlayer == 2 && missing->isColourFree(2, true));
}

TEST(BoardColours, BlackCellsKeepTwoStepsFromStartCellsAndTakeTheirShare) {
    BoardSetup setup{4, false, 1};
    // Steps from the start cell at (1, 2) over the links.
    const std::vector<std::string> steps = {"211123", "210123", "221223", "332334"};
    int blackThreeStepsAway = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        platform::seedRandom(seed);
        auto board = setUpBoard({"......", "..A...", "......", "......"}, 1, setup);
        for (const Tile* tile : board->tiles()) {
            const char step = steps[tile->row][tile->col];
            EXPECT_TRUE(step > '2' || tile->colour != 8) << "seed " << seed;
            blackThreeStepsAway += step == '3' && tile->colour == 8;
        }
    }
    EXPECT_GT(blackThreeStepsAway, 0);
    // One in eight at a share of 1, plus the few pockets black cells wall in; past 1 every draw
    // beyond black counts as black, never as a colour past it.
    std::vector<std::string> rows(40, std::string(40, '.'));
    rows[20][20] = 'A';
    for (const auto& [share, low, high] :
         {std::tuple{0.0, 0, 0}, {1.0, 150, 320}, {50.0, 1200, 1600}}) {
        setup.blackShare = share;
        platform::seedRandom(7);
        const std::string colours = lettersOf(setUpBoard(rows, 1, setup)->tiles(),
                                              [](const Tile* t) { return char('0' + t->colour); });
        const auto black = std::count(colours.begin(), colours.end(), '8');
        EXPECT_TRUE(black >= low && black <= high &&
                    colours.find_first_not_of("012345678") == std::string::npos)
            << share << ": " << black;
    }
}

TEST(BoardDescriptions, BrokenDescriptionsAreReportedAndLeaveAHarmlessBoard) {
    const std::string size = "[General]\nNumRows = 2\nNumCols = 2\n";
    const std::tuple<std::string, const char*, std::size_t> cases[] = {
        {"[General]\nNumCols = 3\nNumPlayers = 1\n", "GameBoard: invalid board size\n", 0},
        {size, "More players required\n", 0},
        {size + "NumPlayers = 5\n", "GameBoard: at most 4 players, the board asks for 5\n", 0},
        {size + "NumPlayers = 2\n[a]\n[s]\nType = playerstart\nPlayer = 2\n",
         "Invalid player index: 2\n", 1},
        // No General section at all, or two of them: the first one counts.
        {"[a]\nColour = 1\n", "GameBoard: invalid board size\n", 0},
        {"[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\n[GENERAL]\nNumRows = 9\n[b]\n",
         "", 2},
    };
    LogCapture log;
    for (const auto& [text, message, cells] : cases) {
        log.clear();
        auto board = setUpBoard(text);
        EXPECT_EQ(log.text() + std::to_string(board->tiles().size()),
                  message + std::to_string(cells));
        board->passInactiveSlots();
        board->playMove(1);
        EXPECT_TRUE(board->isColourFree(1, true));
    }
    EXPECT_EQ(setUpBoard(std::get<0>(cases[5]))->numRows, 1);
}

// The rules as plain recursion, played on a twin of the board.
struct Reference {
    static std::vector<Tile*> around(const Tile* t) {
        std::vector<Tile*> there;  // the neighbours there are, in link order
        for (Tile* n : t->neighbours)
            if (n != nullptr)
                there.push_back(n);
        return there;
    }
    static int recolour(Tile* t, int c) {
        const int old = t->colour;
        if (c == old)
            return 0;
        t->colour = c;
        int count = 0;
        for (Tile* n : around(t))
            count += n->colour == old ? recolour(n, c) : n->colour == c && !n->owned ? claim(n) : 0;
        return count;
    }
    static int claim(Tile* t) {
        if (t->owned)
            return 0;
        t->owned = true;
        int count = 1;
        for (Tile* n : around(t))
            count += !n->owned && n->colour == t->colour ? claim(n) : 0;
        return count;
    }
    static int captureEnclosed(Tile* t) {
        const int c = t->mark = t->colour;
        int count = 0;
        for (Tile* n : around(t))
            if (n->mark != c)
                count += n->owned && n->colour == c             ? captureEnclosed(n)
                         : !n->owned && isEnclosed(n, c, count) ? absorb(n, c)
                                                                : 0;
        return count;
    }
    static bool isEnclosed(Tile* t, int c, int& counter) {
        t->mark = c;
        bool visited = false;
        const bool black = t->colour == 8;
        for (Tile* n : around(t)) {
            if (n->owned && n->colour != c)
                return markRegion(t, c), false;
            visited = visited || (!n->owned && n->mark == c && n->colour != 8);
        }
        for (Tile* n : around(t)) {
            if (n->owned || n->mark == c || (!black && n->colour == 8))
                continue;
            if (!isEnclosed(n, c, counter))
                return markRegion(t, c), false;
            counter += black && n->colour != 8 ? absorb(n, c) : 0;
        }
        return !(black && visited);
    }
    static void markRegion(Tile* t, int m) {
        t->mark = m;
        for (Tile* n : around(t))
            if (!n->owned && n->mark != m && (n->colour == 8) == (t->colour == 8))
                markRegion(n, m);
    }
    static int absorb(Tile* t, int c) {
        const int old = t->colour;
        t->colour = c;
        t->owned = true;
        int count = 1;
        for (Tile* n : around(t))
            count += !n->owned && (n->colour != 8 || old == 8) ? absorb(n, c) : 0;
        return count;
    }
    // A move as the board plays it: stamps are cleared before every capture walk.
    static int move(const Board& twin, Tile* start, int c) {
        int score = recolour(start, c);
        for (int captured = 1; captured != 0; score += captured) {
            for (Tile* tile : twin.tiles())
                tile->mark = 0;
            captured = captureEnclosed(start);
        }
        return score;
    }
};

TEST(Moves, ClaimRecolourCaptureAndTheEndOfTheGame) {
    // Per case: the board, its players, the colours played, and what is left: each cell as its
    // colour, a digit when free, a letter when owned ('a' for 1 .. 'h' for 8, '`' for 0); the
    // scores; whether the game is over. Then it is played on, and ends.
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
            // Set-up turns black what no start cell can reach: islands cut off by holes, a pocket
            // found only after its black wall meets the start cell's area, the cells behind a
            // black wall and the edge.
            {{"12  345 67 A1234B"}, 2, {}, "8888888`1234`", {1, 1}, false},
            {{"12#3A", "34#56", "56#71"}, 1, {}, "8883`8885688871", {1}, false},
            {{"A1#23", "11#45", "11#67"}, 1, {}, "`18881188811888", {1}, false},
            // A start cell given the colour of the cell beside it holds that cell from the start;
            // otherwise the cell would follow its every colour and never be taken.
            {{"a1b"}, 2, {3}, "ccb", {2, 1}, true},
        };
    for (const auto& [rows, players, moves, cells, scores, over] : cases) {
        auto board = setUpBoard(rows, players);
        for (int colour : moves)
            board->playMove(colour);
        EXPECT_EQ(lettersOf(board->tiles(),
                            [](const Tile* t) { return char((t->owned ? '`' : '0') + t->colour); }),
                  cells);
        for (std::size_t i = 0; i < scores.size(); ++i) {
            const Player& player = board->players[i];
            EXPECT_TRUE(player.score == scores[i] && player.shownScore == player.score &&
                        player.startTile->playerColour == player.startTile->colour)
                << rows[0] << ", player " << i << ": " << player.score;
        }
        const bool ended = board->currentPlayer == players && board->turnPlayer == players;
        EXPECT_TRUE(board->isGameOver() == over && ended == over) << rows[0];
        for (int n = 0; board->currentPlayer < board->numPlayers && n < 100; ++n) {
            Player& mover = board->players[board->currentPlayer];
            mover.difficulty = 1;
            board->playMove(think(mover, *board).colour);
        }
        EXPECT_TRUE(board->isGameOver()) << rows[0];
    }
}

TEST(Moves, RandomGamesFollowThePlainRecursiveRules) {
    const BoardSetup setup{4, false, 0.6};
    const std::vector<std::vector<std::string>> layouts = {
        {"A.....B", ".......", ".......", ".......", "C.....D"},
        {"A...  .", "..... .", "...#...", "  ....B"},
        {"A........", ".........", "....#....", ".........", "........B"},
    };
    int movesChecked = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        const auto& layout = layouts[seed % layouts.size()];
        platform::seedRandom(seed);
        auto twin = setUpBoard(layout, seed % 3 == 0 ? 4 : 2, setup);
        platform::seedRandom(seed);
        auto board = setUpBoard(layout, seed % 3 == 0 ? 4 : 2, setup);
        const auto &tiles = board->tiles(), &twins = twin->tiles();
        while (!board->isGameOver() && movesChecked < 100000) {
            Player& mover = board->players[board->currentPlayer];
            // A free colour, drawn at random.
            std::vector<int> free;
            for (int c = 1; c <= 7; ++c)
                if (board->isColourFree(c, false))
                    free.push_back(c);
            const int colour = free[platform::random() % free.size()];
            Tile* start =
                twins[std::find(tiles.begin(), tiles.end(), mover.startTile) - tiles.begin()];
            const int expectedScore = mover.score + Reference::move(*twin, start, colour);
            board->playMove(colour);
            ++movesChecked;
            ASSERT_EQ(mover.score, expectedScore) << "seed " << seed;
            for (std::size_t i = 0; i < tiles.size(); ++i)
                ASSERT_EQ(std::make_tuple(tiles[i]->colour, tiles[i]->owned, tiles[i]->mark),
                          std::make_tuple(twins[i]->colour, twins[i]->owned, twins[i]->mark))
                    << "seed " << seed << ", cell " << i;
        }
    }
    EXPECT_GT(movesChecked, 300);
}

// Every territory walk of a long board reaches one cell deeper per cell. Run on a thread with a
// small stack, a walk that recursed once per cell would overflow it; the walks keep their own
// stacks, so the board is set up and played to its end.
TEST(Moves, DeepWalksOnALongBoardNeverOverflowTheStack) {
    constexpr int length = 30000;
    auto play = [](void*) -> void* {
        // Player 0's start holds the row of 1s from set-up (a deep claim); its first move
        // repaints it (a deep recolour) and finds the row of 3s beside player 1 (a deep
        // isEnclosed, then a deep markRegion); player 1 then takes that row (a deep claim).
        auto board =
            setUpBoard({"a" + std::string(length - 2, '3') + "b", std::string(length, '1')}, 2);
        board->playMove(4);
        board->playMove(3);
        EXPECT_EQ(
            std::make_tuple(board->isGameOver(), board->players[0].score, board->players[1].score),
            std::make_tuple(true, length + 1, length - 1));
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 512 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, play, nullptr), 0);
    pthread_join(thread, nullptr);
}
