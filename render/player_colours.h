// The nine colours of the game, indexed by colour number: 0 marks an uncoloured start cell,
// 1 to 7 are the colours players pick, 8 is a black cell.
#pragma once

constexpr int playerColourCount = 9;

constexpr float PlayerColours[playerColourCount][4] = {
    {0.5f, 0.5f, 0.5f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 1.0f, 1.0f},
    {0.0f, 1.0f, 1.0f, 1.0f}, {0.9f, 0.9f, 0.9f, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f},
};

// The table row for a colour number; numbers outside the table use row 0.
inline const float* playerColour(int colour) {
    return PlayerColours[(colour >= 0 && colour < playerColourCount) ? colour : 0];
}
