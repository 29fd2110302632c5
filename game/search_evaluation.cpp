#include "game/search_evaluation.h"

#include "game/board.h"

namespace {

constexpr std::size_t maxSlots = 4;

// The margin evaluation over plain numbers.
ScoreVector evaluateScores(const std::int32_t* scores, const bool* active, std::size_t slots) {
    ScoreVector values{};
    float total = 0.0f;
    float leader = 0.0f;
    float second = 0.0f;
    for (std::size_t i = 0; i < slots; ++i) {
        if (!active[i]) {
            continue;
        }
        const float value = static_cast<float>(scores[i]);
        values[i] = value;
        total += value;
        if (value > leader) {
            second = leader;
            leader = value;
        } else if (value > second) {
            second = value;
        }
    }
    ScoreVector result{};
    for (std::size_t i = 0; i < slots; ++i) {
        if (!active[i]) {
            continue;
        }
        const float value = values[i];
        if (value == leader && second != leader) {
            // The single leader: its lead over the second, as a share of all cells taken.
            result[i] = (value - second) / total;
        } else {
            float behind = 0.0f;
            for (std::size_t j = 0; j < slots; ++j) {
                if (active[j] && values[j] > value) {
                    behind += values[j] - value;
                }
            }
            result[i] = -behind / total;
        }
    }
    return result;
}

}  // namespace

ScoreVector evaluatePosition(const Board& board) {
    std::array<std::int32_t, maxSlots> scores{};
    std::array<bool, maxSlots> active{};
    const std::size_t slots = board.players.size() < maxSlots ? board.players.size() : maxSlots;
    for (std::size_t i = 0; i < slots; ++i) {
        scores[i] = board.players[i].score;
        active[i] = board.players[i].active;
    }
    return evaluateScores(scores.data(), active.data(), slots);
}

std::int32_t searchDepth(std::int32_t difficulty, std::int32_t activePlayers) {
    // players.ini may ask for any difficulty. Every ply is a level of recursion on the worker's
    // stack, and a move need not take a cell, so only this keeps the stack whole; no search this
    // deep would end in a game's time anyway.
    constexpr std::int64_t deepest = 64;
    const std::int64_t depth =
        static_cast<std::int64_t>(difficulty < 0 ? 0 : difficulty) * activePlayers + 1;
    return static_cast<std::int32_t>(depth < deepest ? depth : deepest);
}
