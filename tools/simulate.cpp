// tintfall-sim: plays games of Tintfall without a window, with the game's own board and
// computer players, and measures the computer players' search.
//
//   tintfall-sim play --board FILE [options]    one game, one JSON line per move
//   tintfall-sim replay FILE [--game DIR]      a saved game again, move by move, in the lines
//                                               of `play`; DIR is the game's folder, where the
//                                               board the file names is looked for first
//   tintfall-sim bench [--quick]                the search benchmark: the game's search and the
//                                               plain reference search on the same positions;
//                                               simulated moves, a signature of every choice,
//                                               times, moves per second and the speed-up
//   tintfall-sim match --board FILE --a KIND --b KIND [options]
//                                               many games between two kinds of player
//                                               (tools/sim_match.cpp)
//
// Options of `play`:
//   --players N            players chosen (2..4; default 4), as on the new-game screen
//   --human SLOTS          comma-separated slots (0-based) played by --moves; the rest search
//   --difficulty LIST      difficulty per slot, comma-separated (default 3 for every slot)
//   --random-first         the first player is drawn at random
//   --black-tiles SHARE    share of black cells (default 0.01)
//   --seed N               seed of the random generator (default 1)
//   --moves LIST           comma-separated colours for the human slots, in playing order
//   --print-board          print every cell right after set-up
//   --reference            computer players use the plain reference search (for comparing
//                          think times)
//
// The board is set up exactly as the game does it, the options standing for what the new-game
// and settings screens would have written. Diagnostics go to the standard error stream.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/game_record.h"
#include "game/player_start.h"
#include "game/reference_search.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "resources/ini_file.h"
#include "tools/sim_match.h"

namespace {

struct Options {
    std::string board;
    int players = 4;
    std::vector<int> humans;
    std::vector<int> difficulties;
    bool randomFirst = false;
    double blackTiles = 0.01;
    std::uint32_t seed = 1;
    std::vector<int> moves;
    bool printBoard = false;
    bool reference = false;
    // A saved game: every move comes from it, whoever made it.
    const GameRecord* replaying = nullptr;
};

std::vector<int> numberList(const std::string& text) {
    std::vector<int> numbers;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) {
            numbers.push_back(std::atoi(item.c_str()));
        }
    }
    return numbers;
}

// The board set-up the options ask for, as the new-game and settings screens would write it.
BoardSetup setupFor(const Options& options) {
    BoardSetup setup;
    setup.players = options.players;
    setup.randomFirstPlayer = options.randomFirst;
    setup.blackShare = options.blackTiles;
    for (std::size_t slot = 0; slot < setup.slots.size(); ++slot) {
        setup.slots[slot].isHuman = std::find(options.humans.begin(), options.humans.end(),
                                              static_cast<int>(slot)) != options.humans.end();
        setup.slots[slot].difficulty =
            slot < options.difficulties.size() ? options.difficulties[slot] : 3;
    }
    return setup;
}

// Sets the board of description `boardText` up as the game would.
std::unique_ptr<Board> setUp(const std::string& boardText, const Options& options) {
    const BoardSetup setup = setupFor(options);
    platform::seedRandom(options.seed);
    std::istringstream text(boardText);
    IniFile description("board.ini", text);
    auto board = std::make_unique<Board>();
    board->loadDescription(description, setup);
    board->setUp(setup);
    return board;
}

void printBoard(const Board& board) {
    for (const Tile* tile : board.tiles()) {
        int start = -1;
        for (std::size_t slot = 0; slot < board.players.size(); ++slot) {
            if (board.players[slot].startTile == tile) {
                start = static_cast<int>(slot);
            }
        }
        std::cout << "{\"cell\":{\"row\":" << tile->row << ",\"col\":" << tile->col
                  << ",\"colour\":" << tile->colour
                  << ",\"owned\":" << (tile->owned ? "true" : "false") << ",\"start\":" << start
                  << "}}\n";
    }
}

std::string scoreList(const Board& board) {
    std::string text = "[";
    for (std::size_t i = 0; i < board.players.size(); ++i) {
        text += (i > 0 ? "," : "") + std::to_string(board.players[i].score);
    }
    return text + "]";
}

// Searches on the worker thread, as the game does, and waits for the answer.
SearchResult searchOnWorker(Player& player, Board& board, bool reference, double& milliseconds) {
    const auto started = std::chrono::steady_clock::now();
    SearchResult result;
    if (reference) {
        platform::WorkerThread worker;
        worker.start([&] { result = thinkReference(player, board); });
        while (!worker.waitFor(1000)) {
        }
    } else {
        startThinking(player, board);
        while (!player.thinkThread->waitFor(1000)) {
        }
        result.colour = player.chosenColour.load();
        result.simulatedMoves = player.lastSearchMoves;
        player.thinkThread.reset();
        player.chosenColour = -1;
    }
    milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    return result;
}

// Whether a replay ended where the saved game did: every move played, over when it was over,
// with the scores it had. Says what differs.
bool replayMatches(const GameRecord& record, const Board& board, std::size_t played) {
    std::string problem;
    std::vector<std::int32_t> scores;
    for (const Player& player : board.players) {
        scores.push_back(player.score);
    }
    if (played < record.moves.size()) {
        problem = "the game ended after " + std::to_string(played) + " of the " +
                  std::to_string(record.moves.size()) + " saved moves";
    } else if (record.finished != board.isGameOver()) {
        problem = record.finished ? "the saved game ended, the replay does not"
                                  : "the replay ends a game that was left";
    } else if (scores != record.scores) {
        problem = "the scores differ from the saved scores";
    }
    if (!problem.empty()) {
        std::cout << "{\"error\":\"" << problem << "\"}\n";
    }
    return problem.empty();
}

int play(const Options& options) {
    const std::string boardText = platform::readNativeFile(options.board);
    if (boardText.empty()) {
        std::cerr << "cannot read the board " << options.board << "\n";
        return 2;
    }
    auto board = setUp(boardText, options);
    if (options.printBoard) {
        printBoard(*board);
    }
    std::size_t nextMove = 0;
    int moveNumber = 0;
    int status = 0;
    std::vector<double> thinkTimes;
    board->passInactiveSlots();
    while (board->turnPlayer < board->numPlayers) {
        Player& mover = board->players[static_cast<std::size_t>(board->turnPlayer)];
        const int slot = board->turnPlayer;
        int colour = 0;
        double milliseconds = 0.0;
        std::int64_t simulated = 0;
        if (options.replaying != nullptr) {
            const std::vector<PlayedMove>& moves = options.replaying->moves;
            if (nextMove >= moves.size()) {
                break;  // the game was left here
            }
            const PlayedMove move = moves[nextMove++];
            colour = move.colour;
            // With every colour held a player keeps its own, as the game lets a computer do.
            bool anyFree = false;
            for (int free = 1; free <= 7; ++free) {
                anyFree = anyFree || board->isColourFree(free, false);
            }
            const bool passing =
                !anyFree && mover.startTile != nullptr && colour == mover.startTile->playerColour;
            if (move.slot != slot || (!passing && !board->isColourFree(colour, false))) {
                std::cout << "{\"error\":\"move " << nextMove << " of the saved game (slot "
                          << move.slot << ", colour " << colour << ") cannot be played by slot "
                          << slot << "\"}\n";
                status = 1;
                break;
            }
        } else if (mover.isHuman) {
            if (nextMove >= options.moves.size()) {
                std::cout << "{\"error\":\"no colour left for human slot " << slot << "\"}\n";
                status = 1;
                break;
            }
            colour = options.moves[nextMove++];
            if (colour < 1 || colour > 7 || !board->isColourFree(colour, false)) {
                std::cout << "{\"error\":\"colour " << colour << " is not free for slot " << slot
                          << "\"}\n";
                status = 1;
                break;
            }
        } else {
            const SearchResult result =
                searchOnWorker(mover, *board, options.reference, milliseconds);
            colour = result.colour;
            simulated = result.simulatedMoves;
            if (colour <= 0) {
                std::cout << "{\"error\":\"the search found no colour for slot " << slot << "\"}\n";
                status = 1;
                break;
            }
        }
        if (!mover.isHuman && options.replaying == nullptr) {
            thinkTimes.push_back(milliseconds);
        }
        board->playMove(colour);
        std::cout << "{\"move\":" << ++moveNumber << ",\"slot\":" << slot
                  << ",\"player\":" << mover.index << ",\"colour\":" << colour
                  << ",\"scores\":" << scoreList(*board) << ",\"think_ms\":" << std::fixed
                  << std::setprecision(3) << milliseconds << std::defaultfloat
                  << ",\"simulated_moves\":" << simulated << "}\n";
        board->passInactiveSlots();
    }
    if (options.replaying != nullptr && status == 0) {
        status = replayMatches(*options.replaying, *board, nextMove) ? 0 : 1;
    }
    std::vector<int> ranking;
    for (std::size_t slot = 0; slot < board->players.size(); ++slot) {
        if (board->players[slot].active) {
            ranking.push_back(static_cast<int>(slot));
        }
    }
    std::stable_sort(ranking.begin(), ranking.end(), [&board](int a, int b) {
        return board->players[static_cast<std::size_t>(a)].score >
               board->players[static_cast<std::size_t>(b)].score;
    });
    std::cout << "{\"ranking\":[";
    for (std::size_t i = 0; i < ranking.size(); ++i) {
        const Player& player = board->players[static_cast<std::size_t>(ranking[i])];
        std::cout << (i > 0 ? "," : "") << "{\"slot\":" << ranking[i]
                  << ",\"player\":" << player.index << ",\"score\":" << player.score << "}";
    }
    // The median time a computer player took to think, in milliseconds.
    double median = 0.0;
    if (!thinkTimes.empty()) {
        std::sort(thinkTimes.begin(), thinkTimes.end());
        const std::size_t middle = thinkTimes.size() / 2;
        median = thinkTimes.size() % 2 == 1 ? thinkTimes[middle]
                                            : (thinkTimes[middle - 1] + thinkTimes[middle]) / 2;
    }
    std::cout << "],\"moves\":" << moveNumber << ",\"median_think_ms\":" << std::fixed
              << std::setprecision(3) << median << std::defaultfloat << "}\n";
    return status;
}

// The benchmark's positions: each board, player count and difficulty, a few moves into a game
// played by one-move-deep players, searched once by the reference search and once by the
// game's search, which must agree on the colour and the number of simulated moves.
struct Position {
    const char* board;
    int players;
    int difficulty;
    int openingMoves;
};

double secondsSince(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

int bench(bool quick, const std::string& boardFolder) {
    std::vector<Position> positions;
    for (int difficulty = 1; difficulty <= (quick ? 2 : 3); ++difficulty) {
        positions.push_back({"small.ini", 2, difficulty, 6});
        for (int players = 2; players <= 4; ++players) {
            positions.push_back({"standard.ini", players, difficulty, 8});
        }
        if (!quick) {
            positions.push_back({"large.ini", 3, difficulty, 12});
        }
    }
    if (!quick) {
        positions.push_back({"small.ini", 2, 4, 10});
        positions.push_back({"standard.ini", 2, 4, 14});
        positions.push_back({"standard.ini", 4, 3, 20});
        positions.push_back({"large.ini", 4, 3, 16});
        positions.push_back({"standard.ini", 3, 4, 9});
    }
    std::uint64_t signature = 1469598103934665603ull;
    auto mix = [&signature](std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            signature ^= (value >> (8 * i)) & 0xff;
            signature *= 1099511628211ull;
        }
    };
    std::int64_t total = 0;
    double seconds = 0.0;
    double referenceSeconds = 0.0;
    int status = 0;
    for (const Position& position : positions) {
        const std::string boardText = platform::readNativeFile(boardFolder + "/" + position.board);
        if (boardText.empty()) {
            std::cerr << "cannot read the board " << boardFolder << "/" << position.board << "\n";
            return 2;
        }
        Options options;
        options.players = position.players;
        options.difficulties = {0, 0, 0, 0};
        options.seed = 7;
        auto board = setUp(boardText, options);
        for (int move = 0; move < position.openingMoves && !board->isGameOver(); ++move) {
            board->passInactiveSlots();
            Player& mover = board->players[static_cast<std::size_t>(board->turnPlayer)];
            board->playMove(think(mover, *board).colour);
        }
        board->passInactiveSlots();
        if (board->isGameOver()) {
            continue;
        }
        Player& mover = board->players[static_cast<std::size_t>(board->turnPlayer)];
        mover.difficulty = position.difficulty;
        auto started = std::chrono::steady_clock::now();
        const SearchResult reference = thinkReference(mover, *board);
        const double referenceTaken = secondsSince(started);
        started = std::chrono::steady_clock::now();
        const SearchResult result = think(mover, *board);
        const double taken = secondsSince(started);
        referenceSeconds += referenceTaken;
        seconds += taken;
        total += result.simulatedMoves;
        mix(static_cast<std::uint64_t>(result.colour));
        mix(static_cast<std::uint64_t>(result.simulatedMoves));
        std::cout << position.board << " players " << position.players << " difficulty "
                  << position.difficulty << ": colour " << result.colour << ", "
                  << result.simulatedMoves << " simulated moves, " << taken * 1000.0
                  << " ms (reference " << referenceTaken * 1000.0 << " ms)\n";
        if (reference.colour != result.colour ||
            reference.simulatedMoves != result.simulatedMoves) {
            std::cout << "MISMATCH: the reference search chose colour " << reference.colour
                      << " after " << reference.simulatedMoves << " simulated moves\n";
            status = 1;
        }
    }
    auto perSecond = [total](double taken) {
        return static_cast<std::int64_t>(taken > 0 ? static_cast<double>(total) / taken : 0);
    };
    std::cout << "total simulated moves: " << total << "\n";
    std::cout << "signature: " << std::hex << signature << std::dec << "\n";
    std::cout << "seconds: " << seconds << "\n";
    std::cout << "simulated moves per second: " << perSecond(seconds) << "\n";
    std::cout << "reference seconds: " << referenceSeconds << "\n";
    std::cout << "reference simulated moves per second: " << perSecond(referenceSeconds) << "\n";
    std::cout << "speed-up: " << (seconds > 0 ? referenceSeconds / seconds : 0.0) << "\n";
    return status;
}

int usage();

// The board a saved game names: in the game's folder given, where it was when the game was
// played, in the game folder the saved game lies in, or from here.
std::string findRecordedBoard(const GameRecord& record, const std::string& file,
                              const std::string& gameFolder) {
    const std::size_t slash = file.find_last_of('/');
    const std::string savesFolder = slash == std::string::npos ? "." : file.substr(0, slash);
    std::vector<std::string> places;
    if (!gameFolder.empty()) {
        places.push_back(gameFolder + "/" + record.board);
    }
    places.push_back(record.boardPath);
    places.push_back(savesFolder + "/../" + record.board);
    places.push_back(record.board);
    for (const std::string& place : places) {
        if (!place.empty() && platform::fileKind(place) == platform::FileKind::regular) {
            return platform::nativePath(place);
        }
    }
    return "";
}

int replay(const std::vector<std::string>& args) {
    std::string file;
    std::string gameFolder;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--game" && i + 1 < args.size()) {
            gameFolder = args[++i];
        } else if (file.empty()) {
            file = args[i];
        } else {
            return usage();
        }
    }
    if (file.empty()) {
        return usage();
    }
    if (platform::fileKind(file) != platform::FileKind::regular) {
        std::cerr << "cannot read the saved game " << file << "\n";
        return 2;
    }
    const IniFile ini(file);
    GameRecord record;
    std::string problem;
    if (!readGameRecord(ini, record, problem)) {
        std::cerr << "not a saved game: " << file << ": " << problem << "\n";
        return 2;
    }
    Options options;
    options.board = findRecordedBoard(record, file, gameFolder);
    if (options.board.empty()) {
        std::cerr << "cannot find the board " << record.board << " of " << file
                  << " (give the game's folder with --game)\n";
        return 2;
    }
    options.players = record.setup.players;
    options.randomFirst = record.setup.randomFirstPlayer;
    options.blackTiles = record.setup.blackShare;
    options.seed = record.seed;
    for (std::size_t slot = 0; slot < record.setup.slots.size(); ++slot) {
        if (record.setup.slots[slot].isHuman) {
            options.humans.push_back(static_cast<int>(slot));
        }
        options.difficulties.push_back(record.setup.slots[slot].difficulty);
    }
    options.replaying = &record;
    return play(options);
}

int usage() {
    std::cerr << "usage: tintfall-sim play --board FILE [--players N] [--human SLOTS]\n"
                 "                         [--difficulty LIST] [--random-first]\n"
                 "                         [--black-tiles SHARE] [--seed N] [--moves LIST]\n"
                 "                         [--print-board] [--reference]\n"
                 "       tintfall-sim replay FILE [--game DIR]\n"
                 "       tintfall-sim bench [--quick] [--boards FOLDER]\n"
                 "       tintfall-sim match --board FILE --a KIND --b KIND [--players N]\n"
                 "                          [--games G] [--seed S] [--jobs J]\n"
                 "                          [--black-tiles SHARE] [--verbose]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    setDebugLogPath("/dev/stderr");
    if (args.empty()) {
        return usage();
    }
    if (args[0] == "bench") {
        bool quick = false;
        std::string folder = "data/game/Boards";
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--quick") {
                quick = true;
            } else if (args[i] == "--boards" && i + 1 < args.size()) {
                folder = args[++i];
            } else {
                return usage();
            }
        }
        return bench(quick, folder);
    }
    if (args[0] == "match") {
        return runMatch(args);
    }
    if (args[0] == "replay") {
        return replay(args);
    }
    if (args[0] != "play") {
        return usage();
    }
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--board" && hasValue) {
            options.board = args[++i];
        } else if (arg == "--players" && hasValue) {
            options.players = std::atoi(args[++i].c_str());
        } else if (arg == "--human" && hasValue) {
            options.humans = numberList(args[++i]);
        } else if (arg == "--difficulty" && hasValue) {
            options.difficulties = numberList(args[++i]);
        } else if (arg == "--random-first") {
            options.randomFirst = true;
        } else if (arg == "--black-tiles" && hasValue) {
            options.blackTiles = std::atof(args[++i].c_str());
        } else if (arg == "--seed" && hasValue) {
            options.seed = static_cast<std::uint32_t>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else if (arg == "--moves" && hasValue) {
            options.moves = numberList(args[++i]);
        } else if (arg == "--print-board") {
            options.printBoard = true;
        } else if (arg == "--reference") {
            options.reference = true;
        } else {
            return usage();
        }
    }
    if (options.board.empty()) {
        return usage();
    }
    return play(options);
}
