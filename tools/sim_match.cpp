// tintfall-sim match: many games between two kinds of computer player on one board.
//
//   tintfall-sim match --board FILE --a KIND --b KIND [--players N] [--games G] [--seed S]
//                      [--jobs J] [--black-tiles SHARE] [--verbose]
//
// KIND is "expert" or a difficulty (0 Beginner, 1 Easy, 2 Medium, 3 Hard, 4 and up deeper).
// Player A takes one seat, player B every other one. The games come in groups of N (the number
// of players) on the same board, seed S + group: A sits in each seat once, so every seat and
// every place in the turn order (slot 0 moves first) is played by each side alike. Each game is
// played as the game plays it: every search on the player's worker thread, the move through
// the board's own turn. --jobs 2 plays the games in two processes at once.
//
// A side wins a game when it alone holds the best score, and draws when both sides hold it.
// Printed: each side's wins, draws and losses, A's win rate with its 95% confidence interval
// (Wilson), A's mean score and that of the best of B, and each side's median and worst think
// time per move.
#include "tools/sim_match.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/computer_player.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "resources/ini_file.h"

namespace {

struct Kind {
    bool expert = false;
    int difficulty = 3;
};

struct MatchOptions {
    std::string board;
    Kind a;
    Kind b;
    int players = 2;
    int games = 20;
    std::uint32_t seed = 1;
    int jobs = 1;
    double blackTiles = 0.01;
    bool verbose = false;
};

// One finished game as a worker reports it.
struct GameResult {
    int game = 0;
    int outcome = 0;  // for A: 1 win, 0 draw, -1 loss
    int aScore = 0;
    int bestB = 0;
    std::vector<double> aTimes;
    std::vector<double> bTimes;
};

bool parseKind(const std::string& text, Kind& kind) {
    if (text == "expert" || text == "Expert") {
        kind.expert = true;
        kind.difficulty = BoardSetup::expertDifficulty;
        return true;
    }
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 10) {
        return false;
    }
    kind.expert = false;
    kind.difficulty = static_cast<int>(value);
    return true;
}

std::string kindName(const Kind& kind) {
    if (kind.expert) {
        return "Expert";
    }
    static const char* const names[] = {"Beginner", "Easy", "Medium", "Hard"};
    if (kind.difficulty >= 0 && kind.difficulty <= 3) {
        return std::string(names[kind.difficulty]) + " (" + std::to_string(kind.difficulty) + ")";
    }
    return "difficulty " + std::to_string(kind.difficulty);
}

// Sets the board up as the game would for a game of computer players; who plays which seat is
// decided afterwards, once the board has said which slots take part.
std::unique_ptr<Board> setUpGame(const MatchOptions& options, const std::string& boardText,
                                 std::uint32_t seed) {
    BoardSetup setup;
    setup.players = options.players;
    setup.blackShare = options.blackTiles;
    for (BoardSetup::Slot& slot : setup.slots) {
        slot.isHuman = false;
    }
    platform::seedRandom(seed);
    std::istringstream text(boardText);
    IniFile description("board.ini", text);
    auto board = std::make_unique<Board>();
    board->loadDescription(description, setup);
    board->setUp(setup);
    return board;
}

bool playGame(const MatchOptions& options, const std::string& boardText, int game,
              GameResult& result) {
    const std::uint32_t seed = options.seed + static_cast<std::uint32_t>(game / options.players);
    auto board = setUpGame(options, boardText, seed);
    std::vector<int> seats;
    for (std::size_t slot = 0; slot < board->players.size(); ++slot) {
        if (board->players[slot].active) {
            seats.push_back(static_cast<int>(slot));
        }
    }
    if (seats.size() < 2) {
        std::cerr << "the board seats fewer than two players\n";
        return false;
    }
    const int aSeat = seats[static_cast<std::size_t>(game) % seats.size()];
    for (const int slot : seats) {
        Player& player = board->players[static_cast<std::size_t>(slot)];
        const Kind& kind = slot == aSeat ? options.a : options.b;
        player.isHuman = false;
        player.expert = kind.expert;
        player.difficulty = kind.difficulty;
    }
    result.game = game;
    board->passInactiveSlots();
    for (int move = 0; board->turnPlayer < board->numPlayers && move < 2000; ++move) {
        Player& mover = board->players[static_cast<std::size_t>(board->turnPlayer)];
        const auto started = std::chrono::steady_clock::now();
        startThinking(mover, *board);
        while (!mover.thinkThread->waitFor(1000)) {
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        const std::int32_t colour = mover.chosenColour.load();
        mover.thinkThread.reset();
        mover.chosenColour = -1;
        if (colour < 1 || colour > 7 || !board->isColourFree(colour, false)) {
            std::cerr << "game " << game << ": slot " << board->turnPlayer << " chose colour "
                      << colour << ", which it may not play\n";
            return false;
        }
        (board->turnPlayer == aSeat ? result.aTimes : result.bTimes).push_back(ms);
        board->playMove(colour);
        board->passInactiveSlots();
    }
    result.aScore = board->players[static_cast<std::size_t>(aSeat)].score;
    result.bestB = -1;
    for (const int slot : seats) {
        if (slot != aSeat) {
            result.bestB =
                std::max(result.bestB, board->players[static_cast<std::size_t>(slot)].score);
        }
    }
    result.outcome = result.aScore > result.bestB ? 1 : result.aScore == result.bestB ? 0 : -1;
    return true;
}

void writeResult(std::ostream& out, const GameResult& result) {
    out << result.game << " " << result.outcome << " " << result.aScore << " " << result.bestB
        << " " << result.aTimes.size();
    for (const double t : result.aTimes) {
        out << " " << t;
    }
    out << " " << result.bTimes.size();
    for (const double t : result.bTimes) {
        out << " " << t;
    }
    out << "\n";
}

bool readResult(std::istream& in, GameResult& result) {
    std::size_t count = 0;
    if (!(in >> result.game >> result.outcome >> result.aScore >> result.bestB >> count)) {
        return false;
    }
    result.aTimes.resize(count);
    for (double& t : result.aTimes) {
        in >> t;
    }
    in >> count;
    result.bTimes.resize(count);
    for (double& t : result.bTimes) {
        in >> t;
    }
    return static_cast<bool>(in);
}

// The games of one worker: those whose number leaves `job` over when divided by the jobs.
int playShare(const MatchOptions& options, const std::string& boardText, int job,
              const std::string& resultPath) {
    std::ofstream out(resultPath);
    out << std::setprecision(6);
    for (int game = job; game < options.games; game += options.jobs) {
        GameResult result;
        if (!playGame(options, boardText, game, result)) {
            return 1;
        }
        writeResult(out, result);
        out.flush();
        if (options.verbose) {
            std::ostringstream line;
            line << "game " << game << ": A " << result.aScore << ", best of B " << result.bestB
                 << "\n";
            std::cerr << line.str();
        }
    }
    return 0;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printSide(const std::string& name, int wins, int draws, int losses,
               const std::vector<double>& times) {
    const double worst = times.empty() ? 0.0 : *std::max_element(times.begin(), times.end());
    std::cout << std::fixed << std::setprecision(1) << name << ": " << wins << " wins, " << draws
              << " draws, " << losses << " losses; think time median " << median(times)
              << " ms, worst " << worst << " ms over " << times.size() << " moves\n";
}

int matchUsage() {
    std::cerr << "usage: tintfall-sim match --board FILE --a KIND --b KIND [--players N]\n"
                 "                          [--games G] [--seed S] [--jobs J]\n"
                 "                          [--black-tiles SHARE] [--verbose]\n"
                 "       KIND: expert, or a difficulty 0..10 (3 is Hard)\n";
    return 2;
}

}  // namespace

int runMatch(const std::vector<std::string>& args) {
    MatchOptions options;
    bool haveA = false;
    bool haveB = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--board" && hasValue) {
            options.board = args[++i];
        } else if (arg == "--a" && hasValue) {
            haveA = parseKind(args[++i], options.a);
            if (!haveA) {
                return matchUsage();
            }
        } else if (arg == "--b" && hasValue) {
            haveB = parseKind(args[++i], options.b);
            if (!haveB) {
                return matchUsage();
            }
        } else if (arg == "--players" && hasValue) {
            options.players = std::atoi(args[++i].c_str());
        } else if (arg == "--games" && hasValue) {
            options.games = std::atoi(args[++i].c_str());
        } else if (arg == "--seed" && hasValue) {
            options.seed = static_cast<std::uint32_t>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else if (arg == "--jobs" && hasValue) {
            options.jobs = std::atoi(args[++i].c_str());
        } else if (arg == "--black-tiles" && hasValue) {
            options.blackTiles = std::atof(args[++i].c_str());
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            return matchUsage();
        }
    }
    if (options.board.empty() || !haveA || !haveB || options.players < 2 || options.players > 4 ||
        options.games < 1 || options.jobs < 1 || options.jobs > 64) {
        return matchUsage();
    }
    const std::string boardText = platform::readNativeFile(options.board);
    if (boardText.empty()) {
        std::cerr << "cannot read the board " << options.board << "\n";
        return 2;
    }
    options.jobs = std::min(options.jobs, options.games);
    char pattern[] = "/tmp/tintfall-results-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::cerr << "cannot make a scratch directory\n";
        return 2;
    }
    const std::string results = pattern;
    auto resultPath = [&results](int job) {
        return results + "/job" + std::to_string(job) + ".txt";
    };
    std::cout.flush();
    std::cerr.flush();
    std::vector<pid_t> workers;
    for (int job = 0; job < options.jobs; ++job) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::_Exit(playShare(options, boardText, job, resultPath(job)));
        }
        if (pid < 0) {
            std::cerr << "cannot start a worker process\n";
            break;
        }
        workers.push_back(pid);
    }
    int status = 0;
    for (const pid_t pid : workers) {
        int code = 0;
        if (waitpid(pid, &code, 0) != pid || !WIFEXITED(code) || WEXITSTATUS(code) != 0) {
            status = 1;
        }
    }
    std::vector<GameResult> games;
    for (int job = 0; job < static_cast<int>(workers.size()); ++job) {
        std::ifstream in(resultPath(job));
        GameResult result;
        while (readResult(in, result)) {
            games.push_back(result);
        }
        std::remove(resultPath(job).c_str());
    }
    ::rmdir(results.c_str());
    int wins = 0;
    int draws = 0;
    int losses = 0;
    std::vector<double> aTimes;
    std::vector<double> bTimes;
    double aCells = 0.0;
    double bestBCells = 0.0;
    for (const GameResult& game : games) {
        aCells += game.aScore;
        bestBCells += game.bestB;
        wins += game.outcome > 0 ? 1 : 0;
        draws += game.outcome == 0 ? 1 : 0;
        losses += game.outcome < 0 ? 1 : 0;
        aTimes.insert(aTimes.end(), game.aTimes.begin(), game.aTimes.end());
        bTimes.insert(bTimes.end(), game.bTimes.begin(), game.bTimes.end());
    }
    const int played = static_cast<int>(games.size());
    std::cout << "match: A " << kindName(options.a) << " against B " << kindName(options.b) << " ("
              << options.players - 1 << " seat" << (options.players > 2 ? "s" : "") << "), board "
              << options.board << ", " << options.players << " players, black "
              << options.blackTiles << ", " << played << " games, seeds " << options.seed << ".."
              << options.seed + static_cast<std::uint32_t>((options.games - 1) / options.players)
              << "\n";
    printSide("A " + kindName(options.a), wins, draws, losses, aTimes);
    printSide("B " + kindName(options.b), losses, draws, wins, bTimes);
    if (played > 0) {
        // Wilson's interval for the share of games A won.
        const double z = 1.96;
        const double n = played;
        const double p = wins / n;
        const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
        const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
        std::cout << std::fixed << std::setprecision(1) << "A win rate: " << 100 * p
                  << "% (95% confidence interval " << 100 * (centre - half) << "%.."
                  << 100 * (centre + half) << "%)\n";
        // With the same seeds, another match's A sits in the same seats on the same boards:
        // the mean cells compare two kinds of player game for game.
        std::cout << "A mean score " << aCells / n << " cells, best of B " << bestBCells / n
                  << "\n";
    }
    if (played < options.games) {
        std::cerr << "only " << played << " of " << options.games << " games finished\n";
        status = 1;
    }
    return status;
}
