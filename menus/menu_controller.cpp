#include "menus/menu_controller.h"

#include "menus/game_board.h"
#include "menus/menu.h"
#include "resources/ini_file.h"
#include "resources/screen_host.h"
#include "resources/type_ids.h"

MenuController::MenuController() = default;

MenuController::~MenuController() {
    currentMenu.reset();
    board.reset();
}

void MenuController::loadMenu(const std::string& name) {
    currentMenu = std::make_unique<Menu>();
    currentMenu->host = host;
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
        player.expert = false;
    }
}

bool MenuController::loadIniFile(IniFile& ini) {
    loadMenu(ini.getString("General", "menu", "Menus\\mainMenu.ini"));
    board = std::make_unique<GameBoard>();
    board->keepsRecord = false;
    board->load(ini.getString("General", "Board", "map.ini"), true);
    makeEveryPlayerAComputer();
    return true;
}

void MenuController::additionalSetup() {
    // The screens it shows reach the program through it, known from now on.
    if (currentMenu) {
        currentMenu->host = host;
        currentMenu->additionalSetup();
    }
    if (board) {
        board->host = host;
        board->additionalSetup();
    }
    makeEveryPlayerAComputer();
}

void MenuController::restoreGlObjects() {
    if (board) {
        board->restoreGlObjects();
    }
    if (currentMenu) {
        currentMenu->restoreGlObjects();
    }
}

void MenuController::update() {
    if (menuChangeRequested) {
        // Leaving the menu writes its files (settings, players) before anything reads them.
        currentMenu.reset();
        if (displayResetRequested) {
            if (host != nullptr) {
                host->restartDisplay();
            }
            displayResetRequested = false;
        }
        loadMenu(pendingMenu);
        menuChangeRequested = false;
        // The settings screen may just have switched the colour symbols.
        if (board) {
            board->readColourSymbolsSetting();
        }
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
