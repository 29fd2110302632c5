#include "menus/menu_controller.h"

#include "engine/game_engine.h"
#include "game/game_board.h"
#include "menus/button.h"
#include "menus/menu.h"
#include "resources/ini_file.h"
#include "resources/type_ids.h"

MenuController::MenuController() = default;

MenuController::~MenuController() {
    currentMenu.reset();
    board.reset();
}

void MenuController::loadMenu(const std::string& name) {
    currentMenu = std::make_unique<Menu>();
    // A menu file that cannot be read gives an empty menu, which the controller still shows.
    currentMenu->load(name, true);
    currentMenu->parent = this;
}

void MenuController::makeEveryPlayerAComputer() {
    if (!board) {
        return;
    }
    // The background game is always played by the computer, whatever players.ini says.
    for (Player& player : board->players) {
        player.isHuman = false;
        player.difficulty = 3;
    }
}

bool MenuController::loadIniFile(IniFile& ini) {
    loadMenu(ini.getString("General", "menu", "Menus\\mainMenu.ini"));
    board = std::make_unique<GameBoard>();
    board->load(ini.getString("General", "Board", "map.ini"), true);
    makeEveryPlayerAComputer();
    return true;
}

void MenuController::additionalSetup() {
    if (currentMenu) {
        currentMenu->additionalSetup();
    }
    if (board) {
        board->additionalSetup();
    }
    makeEveryPlayerAComputer();
}

void MenuController::resetDisplay() {
    GameEngine* engine = gameEngine();
    if (engine == nullptr) {
        displayResetRequested = false;
        return;
    }
    // The display's end stops all of SDL, sound included: sound goes first and comes back after.
    engine->audio.reset();
    engine->display.reset();
    engine->display = std::make_unique<Display>();
    if (input != nullptr) {
        input->display = engine->display.get();
    }
    engine->audio = std::make_unique<AudioOutput>();
    displayResetRequested = false;
    if (engine->resources) {
        // Textures first: a mesh's list binds its texture's name.
        engine->resources->reloadTextures();
        engine->resources->refreshMeshes();
    }
    if (board) {
        board->buildTileBatch();
        // The background board's own menus drew with display lists of the old context.
        for (Menu* menu : {board->hudMenu.get(), board->scoresMenu.get()}) {
            if (menu == nullptr) {
                continue;
            }
            for (int i = 0; i < menu->objectCount(); ++i) {
                StoredObject* object = menu->objectAt(i);
                const std::int32_t type = object->getTypeId();
                if (type == TypeId::button || type == TypeId::playerTurnButton ||
                    type == TypeId::quitButton || type == TypeId::newMapButton) {
                    static_cast<Button*>(object)->postLoad();
                }
            }
        }
    }
}

void MenuController::update() {
    if (menuChangeRequested) {
        // Leaving the menu writes its files (settings, players) before anything reads them.
        currentMenu.reset();
        if (displayResetRequested) {
            resetDisplay();
        }
        loadMenu(pendingMenu);
        menuChangeRequested = false;
    }
    if (board) {
        board->update();
    }
    if (currentMenu) {
        currentMenu->update();
    }
}

void MenuController::draw() {
    if (board) {
        board->drawOverlay();
    }
    if (currentMenu) {
        currentMenu->draw();
    }
}

void MenuController::keyPressed(std::int32_t key, std::int32_t modifiers) {
    if (currentMenu) {
        currentMenu->keyPressed(key, modifiers);
    }
}

void MenuController::keyReleased(std::int32_t key, std::int32_t modifiers) {
    if (currentMenu) {
        currentMenu->keyReleased(key, modifiers);
    }
}

void MenuController::mouseMoved(double x, double y, double dx, double dy) {
    if (currentMenu) {
        currentMenu->mouseMoved(x, y, dx, dy);
    }
}

void MenuController::mouseButtonPressed(double x, double y, std::int32_t button) {
    if (currentMenu) {
        currentMenu->mouseButtonPressed(x, y, button);
    }
}

void MenuController::mouseButtonReleased(double x, double y, std::int32_t button) {
    if (currentMenu) {
        currentMenu->mouseButtonReleased(x, y, button);
    }
}
