#include "game/game_record.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/ini_file.h"

namespace {

constexpr const char* savesFolder = "saves";

// A whole decimal number from `low` to `high`, nothing else around it.
bool wholeNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool sign = i == 0 && text[i] == '-' && text.size() > 1;
        if (!sign && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    value = std::strtoll(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

std::string quoted(const std::string& key, const std::string& value) {
    return key + " = \"" + value + "\"\n";
}

}  // namespace

GameRecord recordOf(const Board& board, const std::string& boardName,
                    const std::string& boardPath) {
    GameRecord record;
    record.board = boardName;
    record.boardPath = boardPath;
    record.seed = board.setupSeed;
    record.setup = board.setupUsed;
    record.moves = board.moveHistory;
    record.finished = board.isGameOver();
    for (const Player& player : board.players) {
        record.scores.push_back(player.score);
    }
    return record;
}

std::string formatGameRecord(const GameRecord& record) {
    std::string text = "; A game of Tintfall. Play it again with: tintfall-sim replay FILE\n";
    text += "[General]\n";
    text += quoted("Board", record.board);
    text += quoted("BoardPath", record.boardPath);
    text += quoted("Seed", std::to_string(record.seed));
    char share[40];
    std::snprintf(share, sizeof share, "%.17g", record.setup.blackShare);
    text += quoted("blackTiles", share);
    text += quoted("players", std::to_string(record.setup.players));
    text += quoted("randomFirstPlayer", record.setup.randomFirstPlayer ? "1" : "0");
    text += quoted("Result", record.finished ? "finished" : "abandoned");
    std::string scores;
    for (std::size_t i = 0; i < record.scores.size(); ++i) {
        scores += (i > 0 ? "," : "") + std::to_string(record.scores[i]);
    }
    text += quoted("Scores", scores);
    for (std::size_t slot = 0; slot < record.setup.slots.size(); ++slot) {
        text += "[" + std::to_string(slot + 1) + "]\n";
        text += quoted("AI Controlled", record.setup.slots[slot].isHuman ? "0" : "1");
        text += quoted("Difficulty", std::to_string(record.setup.slots[slot].difficulty));
    }
    // One move a line: the slot that moved, then its colour.
    text += "[Moves]\n";
    for (std::size_t i = 0; i < record.moves.size(); ++i) {
        text += quoted(std::to_string(i + 1), std::to_string(record.moves[i].slot) + " " +
                                                  std::to_string(record.moves[i].colour));
    }
    return text;
}

bool readGameRecord(const IniFile& ini, GameRecord& record, std::string& problem) {
    record = GameRecord();
    long long number = 0;
    record.board = ini.getString("General", "Board", "");
    if (record.board.empty()) {
        problem = "no board";
        return false;
    }
    record.boardPath = ini.getString("General", "BoardPath", "");
    if (!wholeNumber(ini.getString("General", "Seed", ""), 0, 0xffffffffLL, number)) {
        problem = "no seed";
        return false;
    }
    record.seed = static_cast<std::uint32_t>(number);
    record.setup.blackShare = ini.getFloat("General", "blackTiles", 0.01);
    record.setup.players = ini.getInt("General", "players", 4);
    record.setup.randomFirstPlayer = ini.getInt("General", "randomFirstPlayer", 0) != 0;
    const std::string result = ini.getString("General", "Result", "");
    if (result != "finished" && result != "abandoned") {
        problem = "the result is neither finished nor abandoned";
        return false;
    }
    record.finished = result == "finished";
    std::stringstream scores(ini.getString("General", "Scores", ""));
    std::string item;
    while (std::getline(scores, item, ',')) {
        if (!wholeNumber(item, 0, 1 << 30, number) ||
            record.scores.size() >= record.setup.slots.size()) {
            problem = "unreadable scores";
            return false;
        }
        record.scores.push_back(static_cast<std::int32_t>(number));
    }
    for (std::size_t slot = 0; slot < record.setup.slots.size(); ++slot) {
        const std::string section = std::to_string(slot + 1);
        record.setup.slots[slot].isHuman = ini.getInt(section, "AI Controlled", 0) == 0;
        record.setup.slots[slot].difficulty = ini.getInt(section, "Difficulty", 3);
    }
    for (const IniSection& section : ini.sections()) {
        if (!platform::namesEqualIgnoringCase(section.name, "Moves")) {
            continue;
        }
        for (const IniEntry& entry : section.entries) {
            long long slot = 0;
            long long colour = 0;
            const std::size_t space = entry.value.find(' ');
            const std::string expected = std::to_string(record.moves.size() + 1);
            if (entry.key != expected || space == std::string::npos ||
                !wholeNumber(entry.value.substr(0, space), 0, BoardSetup::slotCount - 1, slot) ||
                !wholeNumber(entry.value.substr(space + 1), 1, 7, colour)) {
                problem = "move " + expected + " is not a slot and a colour";
                return false;
            }
            record.moves.push_back(
                {static_cast<std::int32_t>(slot), static_cast<std::int32_t>(colour)});
        }
        break;
    }
    return true;
}

std::string saveGameRecord(const GameRecord& record) {
    if (!platform::makeDirectory(savesFolder)) {
        debugLog << "Unable to make the folder '" << savesFolder << "' for saved games" << endLine;
        return "";
    }
    // A second game in the same second gets a number of its own.
    const std::string stem = std::string(savesFolder) + "\\game-" + platform::localTimeStamp();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string name =
            stem + (attempt > 1 ? "-" + std::to_string(attempt) : std::string()) + ".txt";
        if (platform::fileKind(name) != platform::FileKind::missing) {
            continue;
        }
        if (!platform::replaceFile(platform::nativePath(name), formatGameRecord(record))) {
            debugLog << "Unable to save the game as '" << name << "'" << endLine;
            return "";
        }
        return name;
    }
    debugLog << "Unable to save the game: too many games saved this second" << endLine;
    return "";
}

std::vector<std::vector<std::int32_t>> scoresAfterEachMove(const Board& start,
                                                           const std::vector<PlayedMove>& moves) {
    std::unique_ptr<Board> board = start.copyForSearch();
    auto scores = [&board] {
        std::vector<std::int32_t> row;
        for (const Player& player : board->players) {
            row.push_back(player.score);
        }
        return row;
    };
    std::vector<std::vector<std::int32_t>> rows{scores()};
    for (const PlayedMove& move : moves) {
        board->passInactiveSlots();
        if (board->turnPlayer != move.slot) {
            break;
        }
        board->playMove(move.colour);
        rows.push_back(scores());
    }
    return rows;
}
