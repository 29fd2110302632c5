// One player slot of a game board.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/worker_thread.h"

class Board;
class PlayerStart;

struct Player {
    Player() = default;
    // Records move when the board swaps two slots; a search worker never runs meanwhile.
    Player(Player&& other) noexcept { *this = std::move(other); }
    Player& operator=(Player&& other) noexcept {
        score = other.score;
        shownScore = other.shownScore;
        isHuman = other.isHuman;
        index = other.index;
        difficulty = other.difficulty;
        expert = other.expert;
        active = other.active;
        startTile = other.startTile;
        board = other.board;
        chosenColour.store(other.chosenColour.load());
        thinkThread = std::move(other.thinkThread);
        abortThinking.store(other.abortThinking.load());
        lastSearchMoves = other.lastSearchMoves;
        return *this;
    }

    std::int32_t score = 1;
    // The score as of the player's last real move; the HUD shows this one.
    std::int32_t shownScore = 1;
    bool isHuman = false;
    // The slot number given when the board was built; it travels with the record when records
    // are swapped.
    std::int32_t index = 0;
    std::int32_t difficulty = 3;
    // Played by Expert (game/expert_search.h) rather than by the level `difficulty`.
    bool expert = false;
    // An inactive slot takes no turns and holds no colour.
    bool active = true;
    PlayerStart* startTile = nullptr;  // not owned
    Board* board = nullptr;            // set when a search worker starts
    // The colour the search picked: -1 none yet, 0 none found, 1..7 a colour. Written by the
    // worker at its end, read by the main thread once the worker has ended.
    std::atomic<std::int32_t> chosenColour{-1};
    // The search worker of this player, while one exists.
    std::unique_ptr<platform::WorkerThread> thinkThread;
    // Set by the main thread to stop a search; polled by the worker.
    std::atomic<bool> abortThinking{false};
    // How many moves the last search simulated; written before `chosenColour`.
    std::int64_t lastSearchMoves = 0;
};
