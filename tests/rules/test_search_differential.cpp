// The game's search against the plain reference search: on positions from real games (every
// board, two to four players, every difficulty, uncoloured start cells and black cells) both must
// choose the same colour after the same number of simulated moves and leave the board the same.
// Expert's move on its bit-set copy against the board's own move, and its choices.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <tuple>
#include <vector>

#include "game/computer_player.h"
#include "game/expert_search.h"
#include "game/player_start.h"
#include "game/reference_search.h"
#include "game/search_position.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

// The sanitizer builds run unoptimised and many times slower: there a smaller sample of the
// same games is compared (the optimised build compares all of them).
#ifndef __has_feature
#define __has_feature(feature) 0  // g++ names its address sanitizer by a macro instead
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr int positionTarget = 1500;
#else
constexpr int positionTarget = 10000;
#endif

// The cells' colours and owners, the scores and the player to move.
static std::vector<int> stateOf(const Board& board) {
    std::vector<int> state{board.currentPlayer};
    for (const Tile* tile : board.tiles())
        state.push_back(tile->colour * 2 + tile->owned);
    for (const Player& player : board.players)
        state.push_back(player.score);
    return state;
}

// Runs both searches on the position and reports the first difference, or an empty string.
static std::string compareSearches(Board& board, Player& mover, int* chosen = nullptr) {
    const auto before = stateOf(board);
    const SearchResult expected = thinkReference(mover, board);
    // Stamps left over from earlier walks must not survive the search either.
    for (Tile* tile : board.tiles())
        tile->mark = 3;
    const SearchResult actual = think(mover, board);
    if (chosen != nullptr)
        *chosen = expected.colour;
    const auto got = std::make_pair(actual.colour, actual.simulatedMoves),
               wanted = std::make_pair(expected.colour, expected.simulatedMoves);
    if (got != wanted)
        return "colour and moves " + testing::PrintToString(got) + ", the reference " +
               testing::PrintToString(wanted);
    const auto& tiles = board.tiles();
    return stateOf(board) != before ? "the cells, the scores or the player to move changed"
           : std::any_of(tiles.begin(), tiles.end(), [](const Tile* t) { return t->mark != 0; })
               ? "a stamp was left"
               : "";
}

// The difficulty searched at a position: mostly shallow, with deeper searches where the tree
// stays affordable (fewer players, later in the game), so the whole run stays quick even under
// the sanitizers.
static int difficultyFor(int move, int players, int boardCells, unsigned seed) {
    const int step = static_cast<int>((static_cast<unsigned>(move) + seed) % 40);
    if (players == 2 && boardCells <= 100 && move >= 16 && move % 8 == 0 && seed % 4 == 1)
        return 4;
    if (step == 11 && (players == 2 || (players == 3 && move >= 20) ||
                       (players == 4 && move >= 50 && seed % 4 == 2)))
        return 3;
    return step % 8 == 3 ? 2 : step % 2;
}

// Plays `colour` on the board and on Expert's copy; the first difference, or an empty string.
static std::string compareMove(Board& board, int colour) {
    SearchPosition copy(board, 3);
    if (!playExpertMove(copy, colour))
        return "Expert cannot play the board";
    const bool over = board.playMove(colour);
    const int after = board.currentPlayer;
    // A finished game has nobody to move; the copy needs someone.
    board.currentPlayer = over ? 0 : after;
    const SearchPosition expected(board, 3);
    board.currentPlayer = after;
    return copy.colours != expected.colours           ? "colours"
           : copy.owned != expected.owned             ? "owned cells"
           : copy.scores != expected.scores           ? "scores"
           : copy.startColour != expected.startColour ? "start colours"
                                                      : "";
}

// Plays a game with the reference's choices, comparing the searches at every move (at most
// `moves`, each at the difficulty `difficulty` gives it), and Expert's move with the board's; every
// eighth move Expert must choose a colour nobody holds. The number of positions compared.
template <typename Difficulty>
static int compareAlongAGame(Board& board, const std::string& name, int moves,
                             Difficulty difficulty) {
    const std::atomic<bool> never{false};
    int move = 0;
    for (; move < moves && !board.isGameOver(); ++move) {
        board.passInactiveSlots();
        Player& mover = board.players[static_cast<std::size_t>(board.currentPlayer)];
        mover.difficulty = difficulty(move);
        int colour = 0;
        std::string difference = compareSearches(board, mover, &colour);
        if (difference.empty() && colour < 1)
            difference = "no colour";
        const ExpertLimits quick{40.0, 250.0, 2};
        if (difference.empty() && move % 8 == 7 &&
            !board.isColourFree(thinkExpert(SearchPosition(board, 3), never, quick).colour, true))
            difference = "Expert chose a held colour";
        if (difference.empty())
            difference = compareMove(board, colour);  // plays the colour
        if (!difference.empty()) {
            ADD_FAILURE() << name << ", move " << move << ", difficulty " << mover.difficulty
                          << ": " << difference;
            return move + 1;
        }
    }
    return move;
}

TEST(SearchDifferential, PositionsFromRealGamesAgreeWithTheReference) {
    const std::pair<std::string, int> boards[] = {{"Boards/small.ini", 2},
                                                  {"Boards/standard.ini", 4},
                                                  {"Boards/large.ini", 4},
                                                  {"map.ini", 4}};
    int positions = 0;
    std::array<int, 5> byDifficulty{};
    for (unsigned seed = 1; positions < positionTarget && seed < 200; ++seed) {
        for (const auto& [file, maxPlayers] : boards) {
            for (int players = 2; players <= maxPlayers; ++players) {
                BoardSetup setup;
                setup.players = players;
                // Few black cells, many and very many.
                setup.blackShare = seed % 3 == 0 ? 0.01 : seed % 3 == 1 ? 0.3 : 1.0;
                auto board = testing_support::setUpDataBoard(file, setup, seed);
                const int cells = static_cast<int>(board->tiles().size());
                ASSERT_GT(cells, 0) << file;
                positions += compareAlongAGame(
                    *board,
                    file + ", " + std::to_string(players) + " players, seed " +
                        std::to_string(seed),
                    400, [&](int move) {
                        const int difficulty = difficultyFor(move, players, cells, seed);
                        return ++byDifficulty[static_cast<std::size_t>(difficulty)], difficulty;
                    });
                if (HasFailure())
                    return;
            }
        }
    }
    // Every difficulty, the deep ones included.
    EXPECT_TRUE(positions >= positionTarget && byDifficulty[2] >= positionTarget / 20 &&
                byDifficulty[3] >= positionTarget / 100 && byDifficulty[4] >= 1)
        << positions << " positions, by difficulty " << testing::PrintToString(byDifficulty);
}

// Boards built to reach the rarer roads of the move rule.
TEST(SearchDifferential, BuiltBoardsAndOddStatesAgreeWithTheReference) {
    // Two uncoloured start cells side by side: a first move floods into the other one.
    for (const std::vector<std::string>& rows :
         {std::vector<std::string>{"AB1234", "567123", "4567#1", "123456"},
          {"A1B", "2C3", "D45", "671"},
          {"aB", "12", "34", "56"}})
        for (int players = 2; players <= 4; ++players)
            compareAlongAGame(*setUpBoard(rows, players), rows[0] + ", " + std::to_string(players),
                              12, [](int move) { return move % 4; });
    // The second player's start cell lies outside the board's rows: it has no neighbours.
    auto board = setUpBoard(
        testing_support::boardDescription(
            {"a1234567", "56712345", "34567123", "12345671", "71234567", "45671234"}, 2) +
        "[stray]\nRow = 9\nCol = 9\nType = PlayerStart\nPlayer = 1\nColour = 2\n");
    auto compareAtEveryDifficulty = [](Board& on, int slot, int hardest, const char* what) {
        on.currentPlayer = slot;
        Player& mover = on.players[static_cast<std::size_t>(slot)];
        for (mover.difficulty = 0; mover.difficulty <= hardest; ++mover.difficulty)
            ASSERT_EQ(compareSearches(on, mover), "") << what << ", " << mover.difficulty;
    };
    // (A real move would capture the whole board at once: nothing walls the first player in.)
    compareAtEveryDifficulty(*board, 1, 3, "the stray start's player");
    compareAtEveryDifficulty(*board, 0, 3, "the first player");
    // An owned cell of the mover's colour outside its territory: a move may reach it.
    Tile* loose = board->tileAt(5, 7);
    loose->colour = board->players[0].startTile->colour;
    loose->owned = true;
    compareAtEveryDifficulty(*board, 0, 3, "a loose owned cell");
    board->players[1].startTile = nullptr;
    compareAtEveryDifficulty(*board, 0, 2, "a player without a start cell");

    // A link the grid does not have: the search must still make the reference's choices.
    auto linked = setUpBoard({"a1234", "5b671", "23456"}, 2);
    linked->tileAt(0, 0)->neighbours[Tile::south] = linked->tileAt(2, 4);
    linked->tileAt(2, 4)->neighbours[Tile::north] = linked->tileAt(0, 0);
    compareAtEveryDifficulty(*linked, 0, 3, "an extra link");
}

// A pocket of one cell inside a black area that touches the other player: the board's walk takes
// it only when it meets it before the contact, so where it sits decides.
TEST(Expert, ItsMoveIsTheBoardsMoveWhereTheWalksOrderDecides) {
    int taken = 0;
    for (int cell = 0; cell < 36; ++cell) {
        auto board =
            setUpBoard({"11######", "11######", "11######", "11#####b", "11111111", "a1111111"}, 2);
        Tile* pocket = board->tileAt(cell / 12, 2 + cell % 12 / 2);
        pocket->colour = 4;
        ASSERT_EQ(compareMove(*board, cell % 2 == 0 ? 3 : 5), "") << cell;
        taken += pocket->owned;
    }
    EXPECT_TRUE(taken > 0 && taken < 36) << taken;
}

// Against levels Expert plays out their answers: the round it foresees after each of its moves
// (the levels' own searches on its copy, in turn) is the round the game plays.
TEST(Expert, ForeseesTheLevelsAnswers) {
    BoardSetup setup;
    setup.players = 4;
    setup.blackShare = 0.3;
    auto board = testing_support::setUpDataBoard("Boards/standard.ini", setup, 7);
    const int expertSlot = board->currentPlayer;
    for (int slot = 0; slot < 4; ++slot) {
        board->players[static_cast<std::size_t>(slot)].isHuman = false;
        board->players[static_cast<std::size_t>(slot)].difficulty =
            slot == expertSlot ? 0 : slot % 2 + 2;
    }
    const std::atomic<bool> never{false};
    // The answers worked out are kept: searching the same position again plays only the moves
    // (at most seven of Expert's colours, three answers to each), without a level's search.
    const ExpertLimits oneMove{1.0e9, 1.0e9, 1, 1.0e9};
    const auto first = thinkExpert(SearchPosition(*board, 3), never, oneMove);
    const auto again = thinkExpert(SearchPosition(*board, 3), never, oneMove);
    EXPECT_TRUE(again.colour == first.colour && again.simulatedMoves <= 28 &&
                first.simulatedMoves > 100)
        << first.simulatedMoves << " then " << again.simulatedMoves;
    const ExpertLimits threeMoves{1.0e9, 1.0e9, 3, 1.0e9};
    for (int round = 0; round < 8 && !board->isGameOver(); ++round) {
        const int colour = thinkExpert(SearchPosition(*board, 3), never, threeMoves).colour;
        ASSERT_TRUE(board->isColourFree(colour, true)) << round;
        SearchPosition foreseen(*board, 3);
        ASSERT_TRUE(playForeseenRound(foreseen, colour));
        bool over = board->playMove(colour);
        while (!over && board->currentPlayer != expertSlot) {
            Player& level = board->players[static_cast<std::size_t>(board->currentPlayer)];
            over = board->playMove(think(level, *board).colour);
        }
        board->currentPlayer = expertSlot;
        const SearchPosition played(*board, 3);
        EXPECT_TRUE(foreseen.colours == played.colours && foreseen.owned == played.owned &&
                    foreseen.scores == played.scores && foreseen.startColour == played.startColour)
            << round;
        if (over)
            break;
    }
}

// A search told to stop returns at once, however long it was given, and still names a colour it
// may play.
TEST(Expert, StopsWhenTold) {
    const std::atomic<bool> abort{true};
    const ExpertLimits unlimited{1.0e9, 1.0e9, 60};
    auto board = testing_support::setUpDataBoard("Boards/large.ini", BoardSetup{}, 5);
    EXPECT_TRUE(
        board->isColourFree(thinkExpert(SearchPosition(*board, 3), abort, unlimited).colour, true));
    // Against the levels too (players are people unless told otherwise).
    for (Player& player : board->players)
        player.isHuman = false;
    EXPECT_TRUE(
        board->isColourFree(thinkExpert(SearchPosition(*board, 3), abort, unlimited).colour, true));
}
