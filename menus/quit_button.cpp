#include "menus/quit_button.h"

#include "engine/game_engine.h"
#include "resources/ini_file.h"

void QuitButton::execute() {
    if (GameEngine* engine = gameEngine()) {
        engine->requestQuit();
    }
}

void QuitButton::readSection(const IniFile& ini, int section) {
    text = ini.getString(section, "text", "");
}
