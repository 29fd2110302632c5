// The game's search against the plain reference search: on positions from real games (every
// board, two to four players, every difficulty, uncoloured start cells and black cells) both must
// choose the same colour after the same number of simulated moves and leave the board the same.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/hex_grid.h"
#include "game/player_start.h"
#include "game/reference_search.h"
#include "platform/random.h"
#include "support/test_boards.h"

using testing_support::setUpBoard;

namespace {

// The sanitizer builds run unoptimised and many times slower: there a smaller sample of the
// same games is compared (the optimised build compares all of them).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int positionTarget = 1500;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(undefined_behavior_sanitizer)
constexpr int positionTarget = 1500;
#else
constexpr int positionTarget = 10000;
#endif
#else
constexpr int positionTarget = 10000;
#endif

struct BoardState {
    std::vector<int> colours;
    std::vector<bool> owned;
    std::vector<int> scores;
    int currentPlayer = 0;
};

BoardState stateOf(const Board& board) {
    BoardState state;
    for (const Tile* tile : board.tiles()) {
        state.colours.push_back(tile->colour);
        state.owned.push_back(tile->owned);
    }
    for (const Player& player : board.players) {
        state.scores.push_back(player.score);
    }
    state.currentPlayer = board.currentPlayer;
    return state;
}

// Runs both searches on the position and reports the first difference, or an empty string.
std::string compareSearches(Board& board, Player& mover, int* chosen = nullptr) {
    const BoardState before = stateOf(board);
    const SearchResult expected = thinkReference(mover, board);
    // Stamps left over from earlier walks must not survive the search either.
    for (Tile* tile : board.tiles()) {
        tile->mark = 3;
    }
    const SearchResult actual = think(mover, board);
    if (chosen != nullptr) {
        *chosen = expected.colour;
    }
    std::ostringstream difference;
    if (actual.colour != expected.colour || actual.simulatedMoves != expected.simulatedMoves) {
        difference << "colour " << actual.colour << " after " << actual.simulatedMoves
                   << " moves, the reference " << expected.colour << " after "
                   << expected.simulatedMoves;
        return difference.str();
    }
    const BoardState after = stateOf(board);
    if (after.colours != before.colours || after.owned != before.owned) {
        return "the cells changed";
    }
    if (after.scores != before.scores || after.currentPlayer != before.currentPlayer) {
        return "the scores or the player to move changed";
    }
    for (const Tile* tile : board.tiles()) {
        if (tile->mark != 0) {
            return "a stamp was left";
        }
    }
    return "";
}

std::unique_ptr<Board> setUpDataBoard(const std::string& path, int players, double blackTiles,
                                      unsigned seed) {
    BoardSetup setup;
    setup.players = players;
    setup.blackShare = blackTiles;
    platform::seedRandom(seed);
    return testing_support::setUpDataBoard(path, setup);
}

int activePlayers(const Board& board) {
    int count = 0;
    for (const Player& player : board.players) {
        count += player.active ? 1 : 0;
    }
    return count;
}

// The difficulty searched at a position: mostly shallow, with deeper searches where the tree
// stays affordable (fewer players, later in the game), so the whole run stays quick even under
// the sanitizers.
int difficultyFor(int move, int players, int boardCells, unsigned seed) {
    const int step = static_cast<int>((static_cast<unsigned>(move) + seed) % 40);
    if (players == 2 && boardCells <= 100 && move >= 16 && move % 8 == 0 && seed % 4 == 1) {
        return 4;
    }
    if (step == 11 && (players == 2 || (players == 3 && move >= 20) ||
                       (players == 4 && move >= 50 && seed % 4 == 2))) {
        return 3;
    }
    if (step % 8 == 3) {
        return 2;
    }
    return step % 2;
}

void skipInactive(Board& board) {
    for (int step = 0; step < board.numPlayers &&
                       !board.players[static_cast<std::size_t>(board.currentPlayer)].active;
         ++step) {
        board.currentPlayer = (board.currentPlayer + 1) % board.numPlayers;
        board.turnPlayer = board.currentPlayer;
    }
}

// Plays a whole game with the reference's choices, comparing the searches at every move.
// Returns the number of positions compared.
int compareAlongAGame(Board& board, const std::string& name, unsigned seed,
                      std::array<int, 5>& byDifficulty) {
    int positions = 0;
    const int players = activePlayers(board);
    const int cells = static_cast<int>(board.tiles().size());
    for (int move = 0; move < 400 && !board.isGameOver(); ++move) {
        skipInactive(board);
        Player& mover = board.players[static_cast<std::size_t>(board.currentPlayer)];
        mover.difficulty = difficultyFor(move, players, cells, seed);
        int colour = 0;
        const std::string difference = compareSearches(board, mover, &colour);
        ++positions;
        ++byDifficulty[static_cast<std::size_t>(mover.difficulty)];
        if (!difference.empty()) {
            ADD_FAILURE() << name << ", move " << move << ", difficulty " << mover.difficulty
                          << ": " << difference;
            return positions;
        }
        if (colour < 1) {
            ADD_FAILURE() << name << ", move " << move << ": no colour";
            return positions;
        }
        board.playMove(colour);
    }
    return positions;
}

}  // namespace

TEST(SearchDifferential, PositionsFromRealGamesAgreeWithTheReference) {
    const std::string data = TINTFALL_DATA_DIR;
    struct BoardFile {
        std::string path;
        int maxPlayers;
    };
    const std::vector<BoardFile> boards = {{data + "/game/Boards/small.ini", 2},
                                           {data + "/game/Boards/standard.ini", 4},
                                           {data + "/game/Boards/large.ini", 4},
                                           {data + "/game/map.ini", 4}};
    int positions = 0;
    int blackCellPositions = 0;
    int uncolouredStartPositions = 0;
    std::array<int, 5> byDifficulty{};
    for (unsigned seed = 1; positions < positionTarget && seed < 200; ++seed) {
        for (const BoardFile& file : boards) {
            for (int players = 2; players <= file.maxPlayers; ++players) {
                // Few black cells and very many, and a first player drawn at random.
                const double black = seed % 2 == 0 ? 0.01 : 0.3;
                auto board = setUpDataBoard(file.path, players, black, seed);
                ASSERT_FALSE(board->tiles().empty()) << file.path;
                bool hasBlack = false;
                for (const Tile* tile : board->tiles()) {
                    hasBlack = hasBlack || tile->colour == hex_grid::black;
                }
                bool uncoloured = false;
                for (const Player& player : board->players) {
                    uncoloured = uncoloured ||
                                 (player.startTile != nullptr && player.startTile->colour == 0);
                }
                const std::string name = file.path + ", " + std::to_string(players) +
                                         " players, seed " + std::to_string(seed);
                const int compared = compareAlongAGame(*board, name, seed, byDifficulty);
                positions += compared;
                blackCellPositions += hasBlack ? compared : 0;
                uncolouredStartPositions += uncoloured ? players : 0;
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
    EXPECT_GE(positions, positionTarget);
    EXPECT_GE(blackCellPositions, positionTarget / 10);
    EXPECT_GE(uncolouredStartPositions, positionTarget / 100);
    // Every difficulty, the deep ones included.
    std::ostringstream mix;
    for (int count : byDifficulty) {
        mix << count << " ";
    }
    EXPECT_GE(byDifficulty[2], positionTarget / 20) << mix.str();
    EXPECT_GE(byDifficulty[3], positionTarget / 100) << mix.str();
    EXPECT_GE(byDifficulty[4], 1) << mix.str();
    RecordProperty("positionsByDifficulty", mix.str());
}

// Boards built to reach the rarer roads of the move rule.
TEST(SearchDifferential, UncolouredNeighbouringStartsAgreeWithTheReference) {
    // Two uncoloured start cells side by side: a first move floods into the other one.
    for (const std::vector<std::string>& rows :
         {std::vector<std::string>{"AB1234", "567123", "4567#1", "123456"},
          std::vector<std::string>{"A1B", "2C3", "D45", "671"},
          std::vector<std::string>{"aB", "12", "34", "56"}}) {
        for (int players = 2; players <= 4; ++players) {
            auto board = setUpBoard(rows, players);
            for (int move = 0; move < 12 && !board->isGameOver(); ++move) {
                skipInactive(*board);
                Player& mover = board->players[static_cast<std::size_t>(board->currentPlayer)];
                mover.difficulty = move % 4;
                ASSERT_EQ(compareSearches(*board, mover), "") << rows[0] << ", move " << move;
                board->playMove(thinkReference(mover, *board).colour);
            }
        }
    }
}

TEST(SearchDifferential, AStartOffTheGridAndOddStatesAgreeWithTheReference) {
    // The second player's start cell lies outside the board's rows: it has no neighbours.
    std::string text = testing_support::boardDescription(
        {"a1234567", "56712345", "34567123", "12345671", "71234567", "45671234"}, 2);
    text += "[stray]\nRow = 9\nCol = 9\nType = PlayerStart\nPlayer = 1\nColour = 2\n";
    auto board = setUpBoard(text);
    ASSERT_NE(board->players[1].startTile, nullptr);
    ASSERT_EQ(board->players[1].startTile->row, 9);
    // (A real move would capture the whole board at once: nothing walls the first player in.)
    for (int slot = 0; slot < 2; ++slot) {
        board->currentPlayer = slot;
        for (int difficulty = 0; difficulty <= 3; ++difficulty) {
            Player& mover = board->players[static_cast<std::size_t>(slot)];
            mover.difficulty = difficulty;
            ASSERT_EQ(compareSearches(*board, mover), "") << slot << ", " << difficulty;
        }
    }
    board->currentPlayer = 0;
    // An owned cell of the mover's colour outside its territory: a move may reach it.
    Tile* loose = board->tileAt(5, 7);
    ASSERT_NE(loose, nullptr);
    Player& mover = board->players[0];
    loose->colour = mover.startTile->colour;
    loose->owned = true;
    for (int difficulty = 0; difficulty <= 3; ++difficulty) {
        mover.difficulty = difficulty;
        ASSERT_EQ(compareSearches(*board, mover), "") << difficulty;
    }
    // A player without a start cell.
    board->players[1].startTile = nullptr;
    for (int difficulty = 0; difficulty <= 2; ++difficulty) {
        mover.difficulty = difficulty;
        ASSERT_EQ(compareSearches(*board, mover), "") << difficulty;
    }
}

TEST(SearchDifferential, ABoardWhoseLinksAreNotTheGridsUsesThePlainSearch) {
    auto board = setUpBoard({"a1234", "5b671", "23456"}, 2);
    // A link the grid does not have: the result must still be the reference's.
    board->tileAt(0, 0)->neighbours[Tile::south] = board->tileAt(2, 4);
    board->tileAt(2, 4)->neighbours[Tile::north] = board->tileAt(0, 0);
    for (int difficulty = 0; difficulty <= 3; ++difficulty) {
        board->players[0].difficulty = difficulty;
        ASSERT_EQ(compareSearches(*board, board->players[0]), "") << difficulty;
    }
}
