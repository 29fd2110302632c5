// What decides a board's set-up besides its description: the players chosen for the game and the
// share of black cells. The game reads it from "players.ini" and "settings.ini"; the simulator
// and the tests give it directly.
#pragma once

#include <array>
#include <cstdint>

struct BoardSetup {
    static constexpr int slotCount = 4;

    // "players.ini" keeps an Expert slot at this level, the Hard one, with "Expert" = 1 beside
    // it: a reader that knows only the levels sees Hard.
    static constexpr std::int32_t expertDifficulty = 3;

    struct Slot {
        bool isHuman = true;
        std::int32_t difficulty = 3;
        // Played by Expert rather than by the level `difficulty`.
        bool expert = false;
    };

    // How many players were chosen; a board with more start cells leaves some of them out.
    std::int32_t players = 4;
    // The first player is drawn at random.
    bool randomFirstPlayer = false;
    // The share of black cells among the cells coloured at random.
    double blackShare = 0.01;
    // Slots 1 to 4 of the player settings, in order.
    std::array<Slot, slotCount> slots{};
};
