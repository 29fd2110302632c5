// A game's record: written and read back whole, refused when broken, and enough to make the same
// board again and play it to the same position.
#include <gtest/gtest.h>

#include <sstream>

#include "game/computer_player.h"
#include "game/game_record.h"
#include "game/tile.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::readFile;
using testing_support::setUpBoard;

namespace {

const std::string standardBoard = TINTFALL_DATA_DIR "/game/Boards/standard.ini";

IniFile iniOf(const std::string& text) {
    std::istringstream in(text);
    return IniFile("game.txt", in);
}

// A game of three computer players on the standard board, drawn from `seed`, `moves` long.
std::unique_ptr<Board> playedGame(std::uint32_t seed, int moves, BoardSetup& setup) {
    setup.players = 3;
    setup.randomFirstPlayer = true;
    setup.blackShare = 0.1 / 3;
    setup.slots = {{{false, 0}, {true, 1}, {false, 1}, {false, 0}}};
    platform::seedRandom(seed);
    // The generator has drawn before the game, as the menus' board does in the game.
    for (int draw = 0; draw < 5; ++draw) {
        platform::random();
    }
    auto board = setUpBoard(readFile(standardBoard), setup);
    for (int move = 0; move < moves && !board->isGameOver(); ++move) {
        board->passInactiveSlots();
        Player& mover = board->players[static_cast<std::size_t>(board->turnPlayer)];
        board->playMove(think(mover, *board).colour);
    }
    return board;
}

}  // namespace

TEST(GameRecord, MakesTheSameGameAgainFromItsFile) {
    BoardSetup setup;
    auto board = playedGame(4000000000u, 25, setup);
    const GameRecord saved = recordOf(*board, "Boards\\standard.ini", standardBoard);
    GameRecord read;
    std::string problem;
    ASSERT_TRUE(readGameRecord(iniOf(formatGameRecord(saved)), read, problem)) << problem;
    EXPECT_EQ(read.seed, saved.seed);
    EXPECT_EQ(read.setup.blackShare, setup.blackShare);
    ASSERT_EQ(read.moves.size(), 25u);

    platform::seedRandom(read.seed);
    auto again = setUpBoard(readFile(standardBoard), read.setup);
    for (const PlayedMove& move : read.moves) {
        again->passInactiveSlots();
        ASSERT_EQ(again->turnPlayer, move.slot);
        again->playMove(move.colour);
    }
    for (std::size_t i = 0; i < board->tiles().size(); ++i) {
        ASSERT_EQ(again->tiles()[i]->colour, board->tiles()[i]->colour) << "cell " << i;
        ASSERT_EQ(again->tiles()[i]->owned, board->tiles()[i]->owned) << "cell " << i;
    }
    EXPECT_EQ(recordOf(*again, "", "").scores, read.scores);

    // The chart's counts: one row a move after the start, ending where the game is.
    const auto rows = scoresAfterEachMove(*board->startPosition(), board->moveHistory);
    ASSERT_EQ(rows.size(), 26u);
    EXPECT_EQ(rows.back(), saved.scores);
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
