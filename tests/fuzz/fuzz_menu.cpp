// Feeds arbitrary bytes to the menu reader as a menu file, twice: on its own, and as the HUD of a
// small board of four human players. Every widget is made, laid out (placedTexts) and clicked in
// its middle; the menu is updated and dropped (which lets its controls write their ini files).
// Nothing is drawn: without a GL context the widgets make no GL objects, and the stroke font
// measures nothing, so this runs without a window.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/board_setup.h"
#include "menus/game_board.h"
#include "menus/hud_object.h"
#include "menus/menu.h"
#include "menus/object_types.h"
#include "platform/random.h"
#include "resources/ini_file.h"

namespace {

const char* const boardText =
    "[General]\nNumRows = 2\nNumCols = 3\nNumPlayers = 4\n"
    "[a]\nType = PlayerStart\nPlayer = 0\n[b]\nColour = 2\n[c]\nType = PlayerStart\nPlayer = 1\n"
    "[d]\nType = PlayerStart\nPlayer = 2\n[e]\nColour = 5\n[f]\nType = PlayerStart\nPlayer = 3\n";

void exercise(IniFile& ini, Map* parent) {
    Menu menu;
    menu.parent = parent;
    menu.loadIniFile(ini);
    menu.update();
    for (int i = 0; i < menu.objectCount(); ++i) {
        StoredObject* object = menu.objectAt(i);
        if (!object->isHudObject()) {
            continue;
        }
        const auto* widget = static_cast<const HudObject*>(object);
        widget->placedTexts();
        const double x = (widget->Left + widget->Right) / 2;
        const double y = (widget->Top + widget->Bottom) / 2;
        menu.mouseMoved(x, y, 0.0, 0.0);
        menu.mouseButtonPressed(x, y, 1);
        menu.mouseButtonReleased(x, y, 1);
        // The click may have changed the menu (a list that filled, a board that moved on).
        if (i >= menu.objectCount()) {
            break;
        }
    }
    menu.update();
}

// A file the fuzzer itself writes next to the inputs it reports: a kind and the input's SHA-1
// (an input may well name its own file "crash-...").
bool isFuzzerArtifact(const std::string& name) {
    for (const std::string prefix : {"crash-", "leak-", "timeout-", "oom-", "slow-unit-"}) {
        if (name.size() == prefix.size() + 40 && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // What the folder held before the first input (when it is not a folder of its own).
    static const std::set<std::filesystem::path> before = [] {
        std::set<std::filesystem::path> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(".", ignored)) {
            names.insert(entry.path().filename());
        }
        return names;
    }();
    installObjectTypes();
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    IniFile menuFile("fuzz.ini", text);
    platform::seedRandom(1);
    exercise(menuFile, nullptr);
    {
        BoardSetup setup;
        std::istringstream description(boardText);
        IniFile ini("board.ini", description);
        GameBoard board;
        board.loadDescription(ini, setup);
        board.setUp(setup);
        exercise(menuFile, &board);
    }
    // Controls write the ini files their input names, under any name, and a finished board
    // saves its game: all of it goes. Files left behind piled up by the thousand in the folder
    // every path lookup lists (and every save looks for a free name in), and the run crawled.
    unlink("debug.log");
    unlink("settings.ini");
    unlink("players.ini");
    std::error_code ignored;
    std::vector<std::filesystem::path> made;
    for (const auto& entry : std::filesystem::directory_iterator(".", ignored)) {
        const std::string name = entry.path().filename().string();
        if (before.count(entry.path().filename()) == 0 && !isFuzzerArtifact(name)) {
            made.push_back(entry.path());
        }
    }
    for (const auto& path : made) {
        std::filesystem::remove_all(path, ignored);
    }
    return 0;
}
