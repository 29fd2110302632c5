#include "menus/new_game_control.h"

#include "menus/board_lookup.h"
#include "menus/list_box.h"
#include "resources/ini_file.h"
#include "resources/type_ids.h"

namespace {

std::string slotSection(int slot) {
    return std::to_string(slot + 1);
}

std::string aiControlName(int slot) {
    return "lstAiControl" + slotSection(slot);
}

std::string aiDifficultyName(int slot) {
    return "lstAiDifficulty" + slotSection(slot);
}

void selectFromFile(ListBox* list, const IniFile& ini, const std::string& section,
                    const std::string& key, const std::string& defaultValue) {
    if (list != nullptr) {
        list->selectByValue(ini.getString(section, key, defaultValue));
    }
}

// A list without a selection leaves the file's value as it is.
void writeToFile(const ListBox* list, IniFile& ini, const std::string& section,
                 const std::string& key) {
    if (list == nullptr) {
        return;
    }
    const std::string value = list->selectedValue();
    if (!value.empty()) {
        ini.setString(section, key, value);
    }
}

void setEnabled(ListBox* list, bool enabled) {
    if (list != nullptr) {
        list->enabled = enabled;
    }
}

}  // namespace

ListBox* NewGameControl::findList(const std::string& name) const {
    return findPartnerAs<ListBox>(owningMap(), name, TypeId::listBox);
}

void NewGameControl::postLoad() {
    const IniFile ini(iniFile);
    for (int slot = 0; slot < playerSlots; ++slot) {
        aiControl[slot] = findList(aiControlName(slot));
        selectFromFile(aiControl[slot], ini, slotSection(slot), "AI Controlled", "0");
        aiDifficulty[slot] = findList(aiDifficultyName(slot));
        selectFromFile(aiDifficulty[slot], ini, slotSection(slot), "difficulty", "3");
    }
    playersList = findList("lstPlayers");
    selectFromFile(playersList, ini, "General", "players", "4");
    firstPlayerList = findList("lstFirstPlayer");
    selectFromFile(firstPlayerList, ini, "General", "randomFirstPlayer", "0");
}

void NewGameControl::update(std::int32_t) {
    // The first entry of a player's list is, by convention, a human player: no difficulty.
    for (int slot = 0; slot < playerSlots; ++slot) {
        if (aiControl[slot] != nullptr) {
            setEnabled(aiDifficulty[slot], aiControl[slot]->selected != 0);
        }
    }
    // The first entry of the player count is the smallest game, which leaves out the second and
    // fourth slots, as the board does.
    if (playersList != nullptr) {
        if (playersList->selected == 0) {
            for (int slot : {1, 3}) {
                setEnabled(aiControl[slot], false);
                setEnabled(aiDifficulty[slot], false);
            }
        } else {
            setEnabled(aiControl[1], true);
            setEnabled(aiControl[3], true);
        }
    }
}

void NewGameControl::beforeUnload() {
    IniFile ini(iniFile);
    for (int slot = 0; slot < playerSlots; ++slot) {
        writeToFile(findList(aiControlName(slot)), ini, slotSection(slot), "AI Controlled");
        writeToFile(findList(aiDifficultyName(slot)), ini, slotSection(slot), "difficulty");
    }
    writeToFile(playersList, ini, "General", "players");
    writeToFile(firstPlayerList, ini, "General", "randomFirstPlayer");
    ini.save();
}

void NewGameControl::readSection(const IniFile& ini, int section) {
    iniFile = ini.getString(section, "iniFile", "");
}
