// The computer players' search: depth, evaluation, tie rules, first moves, cancelling, and the
// board being left exactly as it was.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

namespace {

std::unique_ptr<Board> setUpDataBoard(const std::string& name, int players, unsigned seed) {
    BoardSetup setup;
    setup.players = players;
    platform::seedRandom(seed);
    return testing_support::setUpDataBoard(std::string(TINTFALL_DATA_DIR) + "/game/Boards/" + name,
                                           setup);
}

struct TileState {
    int colour;
    bool owned;
};

std::vector<TileState> snapshot(const Board& board) {
    std::vector<TileState> state;
    for (const Tile* tile : board.tiles()) {
        state.push_back({tile->colour, tile->owned});
    }
    return state;
}

void expectUnchanged(const Board& board, const std::vector<TileState>& before) {
    ASSERT_EQ(board.tiles().size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Tile* tile = board.tiles()[i];
        EXPECT_EQ(tile->colour, before[i].colour) << i;
        EXPECT_EQ(tile->owned, before[i].owned) << i;
        EXPECT_EQ(tile->mark, 0) << i;
    }
}

}  // namespace

TEST(SearchDepth, DifficultyTimesPlayersPlusOne) {
    EXPECT_EQ(searchDepth(0, 4), 1);
    EXPECT_EQ(searchDepth(3, 2), 7);
    EXPECT_EQ(searchDepth(3, 4), 13);
    EXPECT_EQ(searchDepth(-2, 3), 1);
}

TEST(SearchEvaluation, MarginsOfTheLeaderAndOfThoseBehind) {
    auto board = setUpBoard({"a1b2c"}, 3);
    board->players[0].score = 10;
    board->players[1].score = 6;
    board->players[2].score = 4;
    ScoreVector values = evaluatePosition(*board);
    EXPECT_FLOAT_EQ(values[0], 0.2f);
    EXPECT_FLOAT_EQ(values[1], -0.2f);
    EXPECT_FLOAT_EQ(values[2], -0.4f);
    board->players[2].active = false;
    board->players[1].score = 10;
    values = evaluatePosition(*board);
    EXPECT_FLOAT_EQ(values[0], 0.0f);
    EXPECT_FLOAT_EQ(values[1], 0.0f);
}

TEST(SearchChoices, DifficultyZeroPicksTheBestOneMoveMarginFirstInColourOrder) {
    // Player 0 (colour 1) gains two cells with 3, one with 2 or 4; 5, 6, 7 gain nothing.
    auto board = setUpBoard({"a33b", "2456"}, 2);
    board->players[0].difficulty = 0;
    EXPECT_EQ(think(board->players[0], *board).colour, 3);
    // Alone on a board every position is worth the same: the first free colour keeps it.
    auto alone = setUpBoard({"a34", "567"}, 1);
    alone->players[0].difficulty = 0;
    EXPECT_EQ(think(alone->players[0], *alone).colour, 2);
}

TEST(SearchChoices, AnUncolouredStartTriesItsNeighboursColoursFirst) {
    // Its neighbours, in link order: NE is 6, NW is 3. Alone, every choice ties, so the first
    // candidate wins.
    auto board = setUpBoard({"3A6"}, 1);
    board->players[0].difficulty = 0;
    EXPECT_EQ(think(board->players[0], *board).colour, 6);
}

TEST(SearchChoices, HeldColoursAreNeverChosen) {
    auto board = setUpDataBoard("standard.ini", 4, 5);
    for (int move = 0; move < 12; ++move) {
        Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
        mover.difficulty = 1;
        const int colour = think(mover, *board).colour;
        ASSERT_GE(colour, 1);
        ASSERT_TRUE(board->isColourFree(colour, true)) << "move " << move;
        board->playMove(colour);
    }
}

TEST(SearchChoices, TheBoardIsLeftAsItWasWithEveryStampCleared) {
    auto board = setUpDataBoard("large.ini", 3, 9);
    for (int move = 0; move < 6; ++move) {
        board->playMove(
            think(board->players[static_cast<std::size_t>(board->currentPlayer)], *board).colour);
    }
    const auto before = snapshot(*board);
    const int mover = board->currentPlayer;
    std::vector<int> scores;
    for (const Player& player : board->players) {
        scores.push_back(player.score);
    }
    board->players[static_cast<std::size_t>(mover)].difficulty = 2;
    const SearchResult result = think(board->players[static_cast<std::size_t>(mover)], *board);
    EXPECT_GT(result.simulatedMoves, 100);
    expectUnchanged(*board, before);
    EXPECT_EQ(board->currentPlayer, mover);
    for (std::size_t i = 0; i < scores.size(); ++i) {
        EXPECT_EQ(board->players[i].score, scores[i]);
    }
}

TEST(SearchWorker, CancellingStopsALongSearchAndRestoresTheBoard) {
    auto board = setUpDataBoard("standard.ini", 4, 3);
    const auto before = snapshot(*board);
    Player& mover = board->players[0];
    mover.difficulty = 6;  // 25 plies: far longer than this test waits
    startThinking(mover, *board);
    EXPECT_FALSE(mover.thinkThread->waitFor(50));
    cancelThinking(mover);
    EXPECT_EQ(mover.thinkThread, nullptr);
    EXPECT_EQ(mover.chosenColour.load(), -1);
    expectUnchanged(*board, before);
    EXPECT_EQ(board->currentPlayer, 0);
}

TEST(SearchWorker, TheWorkerLeavesItsColourInTheRecord) {
    auto board = setUpDataBoard("small.ini", 2, 4);
    // A link the search's bit sets cannot stand for: the worker searches a copy of the board,
    // which the board's own thread reads meanwhile, as drawing does.
    auto linked = setUpBoard({"a1234", "5b671", "23456"}, 2);
    linked->tileAt(0, 0)->neighbours[Tile::south] = linked->tileAt(2, 4);
    for (Board* searched : {board.get(), linked.get()}) {
        Player& mover = searched->players[0];
        mover.difficulty = 1;
        const auto before = snapshot(*searched);
        startThinking(mover, *searched);
        expectUnchanged(*searched, before);
        ASSERT_TRUE(mover.thinkThread->waitFor(60000));
        EXPECT_GE(mover.chosenColour.load(), 1);
        EXPECT_LE(mover.chosenColour.load(), 7);
        EXPECT_EQ(mover.chosenColour.load(), think(mover, *searched).colour);
    }
}
