#include "menus/quit_button.h"

#include "engine/game_engine.h"

void QuitButton::execute() {
    if (GameEngine* engine = gameEngine()) {
        engine->requestQuit();
    }
}
