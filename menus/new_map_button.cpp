#include "menus/new_map_button.h"

#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "resources/ini_file.h"
#include "resources/screen_host.h"

void NewMapButton::execute() {
    MenuController* controller = nullptr;
    if (useController) {
        Map* map = owningMap();
        if (map != nullptr && map->isMenu()) {
            Map* parent = static_cast<Menu*>(map)->parent;
            if (parent != nullptr && parent->isMenuController()) {
                controller = static_cast<MenuController*>(parent);
            }
        } else if (map != nullptr && map->isMenuController()) {
            controller = static_cast<MenuController*>(map);
        }
    }
    if (controller != nullptr) {
        controller->requestMenu(mapToLoad);
    } else if (ScreenHost* host = screenHost()) {
        host->requestMapChange(mapToLoad);
    }
}

void NewMapButton::readSection(const IniFile& ini, int section) {
    mapToLoad = ini.getString(section, "mapToLoad", "");
    text = ini.getString(section, "text", "");
    useController = ini.getInt(section, "useController", 1) != 0;
}
