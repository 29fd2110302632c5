#include "menus/new_game_control.h"

#include "game/board_setup.h"
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

// The difficulty list's entry for Expert. The file keeps "difficulty" at the Hard level and
// adds "Expert" = 1, so a reader that knows only the levels sees Hard.
const char* const expertValue = "expert";
const char* const expertKey = "Expert";
const std::string hardValue = std::to_string(BoardSetup::expertDifficulty);

void selectDifficulty(ListBox* list, const IniFile& ini, const std::string& section) {
    if (list == nullptr) {
        return;
    }
    const std::string difficulty = ini.getString(section, "difficulty", hardValue);
    // A level chosen since by a reader that left the key alone wins over it.
    const bool expert = ini.getInt(section, expertKey, 0) != 0 && difficulty == hardValue;
    list->selectByValue(expert ? expertValue : difficulty);
}

void writeDifficulty(const ListBox* list, IniFile& ini, const std::string& section) {
    if (list == nullptr) {
        return;
    }
    const std::string value = list->selectedValue();
    if (value.empty()) {
        return;
    }
    const bool expert = value == expertValue;
    ini.setString(section, "difficulty", expert ? hardValue : value);
    // A file that never had an Expert stays as an older version would write it.
    if (expert || !ini.getString(section, expertKey, "").empty()) {
        ini.setString(section, expertKey, expert ? "1" : "0");
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
        selectDifficulty(aiDifficulty[slot], ini, slotSection(slot));
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
        writeDifficulty(findList(aiDifficultyName(slot)), ini, slotSection(slot));
    }
    writeToFile(playersList, ini, "General", "players");
    writeToFile(firstPlayerList, ini, "General", "randomFirstPlayer");
    ini.save();
}

void NewGameControl::readSection(const IniFile& ini, int section) {
    iniFile = ini.getString(section, "iniFile", "");
}
