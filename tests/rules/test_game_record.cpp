// A game's record and its undo: the record is written and read back whole, refused when broken,
// and makes the same board again; after every undo of a human move the board is exactly the one
// the record's moves that remain make.
#include <gtest/gtest.h>

#include <sstream>

#include "game/computer_player.h"
#include "game/game_record.h"
#include "game/player_start.h"
#include "support/test_boards.h"

using testing_support::readFile;
using testing_support::setUpBoard;

namespace {

IniFile iniOf(const std::string& text) {
    std::istringstream in(text);
    return IniFile("game.txt", in);
}

// Every cell's colour and owned flag, every slot's colour and scores, and whose turn it is.
std::vector<int> positionOf(const Board& board) {
    std::vector<int> position{board.currentPlayer, board.turnPlayer};
    for (const Tile* tile : board.tiles())
        position.push_back(tile->colour + (tile->owned ? 16 : 0));
    for (const Player& player : board.players)
        position.insert(position.end(), {player.startTile ? player.startTile->playerColour : -1,
                                         player.score, player.shownScore});
    return position;
}

// One move as the game plays it; humans play what a computer would, so the game is the same
// every run.
void playOne(Board& board) {
    board.passInactiveSlots();
    Player& mover = board.players[static_cast<std::size_t>(board.currentPlayer)];
    const int colour = think(mover, board).colour;
    board.playMove(colour > 0 ? colour : mover.startTile->colour);  // all held: a pass
}

}  // namespace

TEST(GameRecord, MakesTheSameGameAgainAndEveryUndoGivesTheReplayedPosition) {
    const std::tuple<const char*, BoardSetup, std::uint32_t> games[] = {
        {"standard.ini",
         {3, true, 0.1 / 3, {{{true, 1}, {true, 1}, {false, 1}, {false, 0}}}},
         4000000001u},
        {"small.ini", {2, false, 0.1, {{{true, 1}, {true, 1}, {false, 1}, {false, 1}}}}, 5},
        {"large.ini", {3, false, 0.1, {{{false, 1}, {false, 1}, {true, 1}, {false, 1}}}}, 7},
    };
    for (const auto& [name, setup, seed] : games) {
        SCOPED_TRACE(name);
        const std::string file = TINTFALL_DATA_DIR "/game/Boards/" + std::string(name);
        platform::seedRandom(seed);
        for (int draw = 0; draw < 5; ++draw)
            platform::random();  // the menus' board has drawn before the game
        auto board = setUpBoard(readFile(file), setup);
        EXPECT_FALSE(board->undoLastHumanMove());
        std::vector<std::vector<int>> beforeHumanMoves;
        while (!board->isGameOver()) {
            board->passInactiveSlots();
            if (board->players[static_cast<std::size_t>(board->currentPlayer)].isHuman)
                beforeHumanMoves.push_back(positionOf(*board));
            playOne(*board);
        }
        const GameRecord saved = recordOf(*board, "Boards\\standard.ini", file);
        GameRecord read;
        std::string problem;
        ASSERT_TRUE(readGameRecord(iniOf(formatGameRecord(saved)), read, problem)) << problem;
        EXPECT_TRUE(read.finished && read.scores == saved.scores &&
                    read.setup.blackShare == setup.blackShare);
        auto replayed = [&](const std::vector<PlayedMove>& moves) {
            platform::seedRandom(read.seed);
            auto again = setUpBoard(readFile(file), read.setup);
            for (const PlayedMove& move : moves) {
                again->passInactiveSlots();
                EXPECT_TRUE(again->currentPlayer == move.slot && again->turnPlayer == move.slot);
                again->playMove(move.colour);
            }
            again->passInactiveSlots();
            return positionOf(*again);
        };
        EXPECT_EQ(replayed(read.moves), positionOf(*board));
        // The chart's counts: one row a move after the start, ending where the game is.
        const auto rows = scoresAfterEachMove(*board->startPosition(), board->moveHistory);
        EXPECT_TRUE(rows.size() == board->moveHistory.size() + 1 && rows.back() == saved.scores);

        // The last human move is taken back from the end of the game, then every one before.
        ASSERT_GT(beforeHumanMoves.size(), 3u);
        for (; !beforeHumanMoves.empty(); beforeHumanMoves.pop_back()) {
            ASSERT_TRUE(board->undoLastHumanMove());
            EXPECT_EQ(positionOf(*board), beforeHumanMoves.back());
            EXPECT_EQ(positionOf(*board), replayed(board->moveHistory));
        }
        EXPECT_FALSE(board->canUndo());
        // Played on from there another way (the first free colour): still the replay.
        int other = 1;
        while (!board->isColourFree(other, true))
            ++other;
        board->playMove(other);
        playOne(*board);
        EXPECT_EQ(positionOf(*board), replayed(board->moveHistory));
    }
}

TEST(GameRecord, RefusesBrokenRecords) {
    const std::string head = "[General]\nBoard = \"b.ini\"\nResult = \"finished\"\n";
    const std::string cases[] = {
        "[General]\nSeed = \"1\"\nResult = \"finished\"\n",  // no board
        head + "Seed = \"4294967296\"\n",                    // seed too large
        "[General]\nBoard = \"b.ini\"\nSeed = \"1\"\nResult = \"won\"\n",
        head + "Seed = \"1\"\nScores = \"1,2,3,4,5\"\n",
        head + "Seed = \"1\"\n[Moves]\n1 = \"0 8\"\n",               // no such colour
        head + "Seed = \"1\"\n[Moves]\n1 = \"4 1\"\n",               // no such slot
        head + "Seed = \"1\"\n[Moves]\n1 = \"0 1\"\n3 = \"1 2\"\n",  // a move missing
    };
    for (const std::string& text : cases) {
        GameRecord record;
        std::string problem;
        EXPECT_FALSE(readGameRecord(iniOf(text), record, problem)) << text;
        EXPECT_FALSE(problem.empty()) << text;
    }
}
