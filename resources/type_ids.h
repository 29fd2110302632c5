// The object factory's type ids, as map packages store them before each object's fields and as
// every class reports them through getTypeId. Ids without a class here make no object.
#pragma once

#include <cstdint>

namespace TypeId {

enum Value : std::int32_t {
    // Not made from a file: the base classes, and widgets made by name only (Image).
    none = 0,
    texture = 1,
    polyhedron = 2,
    audioTrack = 3,
    // Actors and emitters: placed on a screen in code, never made from a file.
    actor = 8,
    textBox = 16,
    panel = 17,
    playerPanel = 18,
    playerScoreText = 19,
    scoreControl = 20,
    newGameControl = 21,
    settingsControl = 22,
    button = 24,
    playerTurnButton = 25,
    quitButton = 26,
    listBox = 27,
    newMapButton = 28,
    tile = 35,
    playerStart = 36,
};

}  // namespace TypeId
