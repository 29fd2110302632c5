#include "menus/settings_control.h"

#include "menus/board_lookup.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "resources/ini_file.h"
#include "resources/screen_host.h"
#include "resources/type_ids.h"

namespace {

void writeToFile(const ListBox* list, IniFile& ini, const std::string& section,
                 const std::string& key) {
    if (list == nullptr) {
        return;
    }
    const std::string value = list->selectedValue();
    // No selection keeps the file's value.
    if (!value.empty()) {
        ini.setString(section, key, value);
    }
}

}  // namespace

int volumeForSelection(std::int32_t selection) {
    return static_cast<int>(static_cast<std::int64_t>(selection) * 128 / 10);
}

bool splitResolution(const std::string& value, std::string& width, std::string& height) {
    width.clear();
    height.clear();
    if (value.size() <= 2) {
        return false;
    }
    // Neither end counts: a space there would leave one side empty.
    for (std::size_t i = 1; i <= value.size() - 2; ++i) {
        if (value[i] == ' ') {
            width = value.substr(0, i);
            height = value.substr(i + 1);
        }
    }
    return !width.empty() && !height.empty();
}

MenuController* SettingsControl::findController() const {
    Map* map = owningMap();
    if (map != nullptr && map->isMenu()) {
        Map* parent = static_cast<Menu*>(map)->parent;
        return parent != nullptr && parent->isMenuController()
                   ? static_cast<MenuController*>(parent)
                   : nullptr;
    }
    return map != nullptr && map->isMenuController() ? static_cast<MenuController*>(map) : nullptr;
}

void SettingsControl::postLoad() {
    const IniFile ini(iniFile);
    Map* map = owningMap();
    blackTilesList = findPartnerAs<ListBox>(map, "lstBlackTiles", TypeId::listBox);
    if (blackTilesList != nullptr) {
        blackTilesList->selectByValue(ini.getString("game", "blackTiles", "0.01"));
    }
    resolutionList = findPartnerAs<ListBox>(map, "lstResolution", TypeId::listBox);
    if (resolutionList != nullptr) {
        resolutionList->selectByValue(ini.getString("resolution", "width", "1024") + " " +
                                      ini.getString("resolution", "height", "768"));
        initialResolution = resolutionList->selected;
    }
    volumeList = findPartnerAs<ListBox>(map, "lstVolume", TypeId::listBox);
    if (volumeList != nullptr) {
        volumeList->selectByValue(ini.getString("audio", "MasterVolume", "128"));
        volumeSelection = volumeList->selected;
    }
    colourSymbolsList = findPartnerAs<ListBox>(map, "lstColourSymbols", TypeId::listBox);
    if (colourSymbolsList != nullptr) {
        colourSymbolsList->selectByValue(ini.getString("game", "Colour symbols", "0"));
    }
}

void SettingsControl::update(std::int32_t) {
    if (volumeList != nullptr && volumeList->selected != volumeSelection) {
        volumeSelection = volumeList->selected;
        if (ScreenHost* host = screenHost()) {
            host->setMasterVolume(volumeForSelection(volumeSelection));
        }
    }
    if (resolutionList != nullptr && resolutionList->selected != initialResolution) {
        if (MenuController* controller = findController()) {
            controller->setDisplayReset();
        }
    }
}

void SettingsControl::beforeUnload() {
    IniFile ini(iniFile);
    writeToFile(blackTilesList, ini, "game", "blackTiles");
    if (resolutionList != nullptr) {
        std::string width;
        std::string height;
        if (splitResolution(resolutionList->selectedValue(), width, height)) {
            ini.setString("resolution", "width", width);
            ini.setString("resolution", "height", height);
        }
    }
    writeToFile(volumeList, ini, "audio", "MasterVolume");
    writeToFile(colourSymbolsList, ini, "game", "Colour symbols");
    if (ScreenHost* host = screenHost()) {
        host->requestVideoRestart();
    }
    ini.save();
}

void SettingsControl::readSection(const IniFile& ini, int section) {
    iniFile = ini.getString(section, "iniFile", "");
}
