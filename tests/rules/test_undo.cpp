// Taking back human moves, checked against a replay: after every undo the board is exactly the
// one reached by setting it up again from the same seed and playing the moves that remain.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/computer_player.h"
#include "game/player_start.h"
#include "platform/random.h"
#include "support/test_boards.h"

namespace {

// Every cell's colour and owned flag, every slot's colour and scores, and whose turn it is.
using Position = std::vector<std::int32_t>;

Position positionOf(const Board& board) {
    Position position{board.currentPlayer, board.turnPlayer};
    for (const Tile* tile : board.tiles()) {
        position.push_back(tile->colour + (tile->owned ? 16 : 0));
    }
    for (const Player& player : board.players) {
        position.push_back(player.startTile ? player.startTile->playerColour : -1);
        position.push_back(player.score);
        position.push_back(player.shownScore);
    }
    return position;
}

struct Game {
    const char* board;
    std::int32_t players;
    std::vector<bool> humans;  // slots 1 to 4 of the player settings
    std::uint32_t seed;
};

std::unique_ptr<Board> freshBoard(const Game& game) {
    BoardSetup setup;
    setup.players = game.players;
    setup.blackShare = 0.1;
    for (std::size_t i = 0; i < game.humans.size(); ++i) {
        setup.slots[i].isHuman = game.humans[i];
        setup.slots[i].difficulty = 1;
    }
    return testing_support::setUpDataBoard("Boards/" + std::string(game.board), setup, game.seed);
}

// One move as the game plays it; humans play what a computer would, so the game is the same
// every run.
void playOne(Board& board) {
    board.passInactiveSlots();
    Player& mover = board.players[static_cast<std::size_t>(board.currentPlayer)];
    std::int32_t colour = think(mover, board).colour;
    if (colour <= 0) {
        colour = mover.startTile->colour;  // every colour held: the player passes
    }
    board.playMove(colour);
}

Position replayed(const Game& game, const std::vector<PlayedMove>& moves) {
    auto board = freshBoard(game);
    for (const PlayedMove& move : moves) {
        board->passInactiveSlots();
        EXPECT_EQ(board->currentPlayer, move.slot);
        board->playMove(move.colour);
    }
    board->passInactiveSlots();
    return positionOf(*board);
}

}  // namespace

TEST(Undo, EveryUndoGivesThePositionOfTheReplayedMovesBackToTheStart) {
    const Game games[] = {
        {"standard.ini", 4, {true, false, false, false}, 11},
        {"small.ini", 2, {true, true, false, false}, 5},
        {"large.ini", 3, {false, false, true, false}, 7},
    };
    for (const Game& game : games) {
        SCOPED_TRACE(game.board);
        auto board = freshBoard(game);
        EXPECT_FALSE(board->undoLastHumanMove());
        std::vector<Position> beforeHumanMoves;
        while (!board->isGameOver()) {
            board->passInactiveSlots();
            if (board->players[static_cast<std::size_t>(board->currentPlayer)].isHuman) {
                beforeHumanMoves.push_back(positionOf(*board));
            }
            playOne(*board);
        }
        ASSERT_GT(beforeHumanMoves.size(), 3u);
        // The last human move is taken back from the end of the game, then every one before.
        while (!beforeHumanMoves.empty()) {
            ASSERT_TRUE(board->undoLastHumanMove());
            const Position now = positionOf(*board);
            EXPECT_EQ(now, beforeHumanMoves.back());
            EXPECT_EQ(now, replayed(game, board->moveHistory));
            beforeHumanMoves.pop_back();
        }
        EXPECT_FALSE(board->canUndo());
        // Played on from there another way (the first free colour): still the replay.
        std::int32_t other = 1;
        while (!board->isColourFree(other, true)) {
            ++other;
        }
        board->playMove(other);
        playOne(*board);
        EXPECT_EQ(positionOf(*board), replayed(game, board->moveHistory));
    }
}
