// Program entry, called by SDL's main wrapper. The game takes no command-line options.
#include <SDL.h>

#include "engine/game_engine.h"

int main(int /*argc*/, char* /*argv*/[]) {
    GameEngine engine;
    return runGuarded(engine);
}
