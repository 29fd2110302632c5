#include "engine/resource_manager.h"

#include "engine/debug_log.h"
#include "engine/input_handler.h"
#include "game/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "platform/platform.h"
#include "resources/ini_file.h"

using platform::namesEqualIgnoringCase;

ResourceManager::~ResourceManager() {
    unloadAll();
}

void ResourceManager::setCurrentMap(std::unique_ptr<Map> map) {
    // The input handler must never be left pointing at a deleted screen.
    if (input != nullptr && input->eventTarget == currentMap_.get()) {
        input->eventTarget = nullptr;
    }
    currentMap_ = std::move(map);
}

void ResourceManager::createMap(const std::string& fileName) {
    const std::string extension = extensionOf(fileName);
    std::unique_ptr<Map> map;
    if (screenFactory) {
        map = screenFactory(fileName);
    }
    if (map) {
        // made by the factory
    } else if (namesEqualIgnoringCase(extension, "map")) {
        map = std::make_unique<Map>();
    } else if (namesEqualIgnoringCase(extension, "menu")) {
        map = std::make_unique<Menu>();
    } else if (namesEqualIgnoringCase(extension, "bord")) {
        map = std::make_unique<GameBoard>();
    } else if (namesEqualIgnoringCase(extension, "ini")) {
        const IniFile ini(fileName);
        const std::string mapType = ini.getString("General", "MapType", "Menu");
        if (namesEqualIgnoringCase(mapType, "Menu")) {
            map = std::make_unique<Menu>();
        } else if (namesEqualIgnoringCase(mapType, "MenuController")) {
            map = std::make_unique<MenuController>();
        } else {
            map = std::make_unique<GameBoard>();
        }
    } else {
        logText("Unrecognised map file type for file ");
        logString(fileName);
        logText("\n");
        map = std::make_unique<Map>();
    }
    setCurrentMap(std::move(map));
}

bool ResourceManager::loadMap(const std::string& fileName) {
    if (!currentMap_) {
        return false;
    }
    const std::string extension = extensionOf(fileName);
    std::string path;
    if (namesEqualIgnoringCase(extension, "menu")) {
        path = "Menus\\" + fileName;
    } else if (namesEqualIgnoringCase(extension, "ini")) {
        path = fileName;
    } else {
        path = "..\\Maps\\" + fileName;
    }
    if (!currentMap_->load(path, true)) {
        logText("Failed to open file: ");
        logString(path);
        logText("\n");
        setCurrentMap(nullptr);
        return false;
    }
    if (input != nullptr) {
        currentMap_->input = input;
        input->eventTarget = currentMap_.get();
    }
    currentMap_->additionalSetup();
    return true;
}

void ResourceManager::unloadAll() {
    setCurrentMap(nullptr);
}
