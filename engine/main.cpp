// Program entry, called by SDL's main wrapper. The game takes no command-line options.
#include <SDL.h>

#include "engine/game_engine.h"
#include "platform/platform.h"

int main(int /*argc*/, char* /*argv*/[]) {
    // Before anything reads or writes a file: an installed game keeps the player's files apart.
    platform::useUserFolderWhenInstalled();
    GameEngine engine;
    return runGuarded(engine);
}
