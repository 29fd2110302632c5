// tintfall-check: loads every menu, board description, mesh, texture and sound of a data folder
// the way the game does, and fails, naming the file, on anything the game would stumble over:
// any line the loading writes to the debug log, a widget whose Type no class answers to, a
// button whose target file does not exist, or a list whose values the reading side would not
// understand. What it cannot check fails too: a folder it cannot read, a folder or file the game
// needs that is missing. A board with cells no start cell can reach gets a WARNING, no failure.
// Exit status: 0 clean, 1 problems found, 2 nothing could be checked.
//
//   tintfall-check DATA_FOLDER      (the folder holding game/, Textures/, Meshes/, Audio/, Maps/)
#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/debug_log.h"
#include "engine/resource_manager.h"
#include "game/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "platform/platform.h"
#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"
#include "resources/static_mesh_package.h"
#include "resources/texture.h"
#include "resources/texture_package.h"

namespace {

using platform::namesEqualIgnoringCase;

int problems = 0;
std::string logPath;

void report(const std::string& file, const std::string& message) {
    std::cout << "error " << file << ": " << message << "\n";
    ++problems;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `load` with the debug log captured; every line it wrote is a problem of `file`.
template <typename Load>
void checked(const std::string& file, Load load) {
    std::remove(logPath.c_str());
    load();
    std::istringstream lines(readWhole(logPath));
    std::string line;
    bool clean = true;
    while (std::getline(lines, line)) {
        report(file, "debug log: " + line);
        clean = false;
    }
    if (clean) {
        std::cout << "ok " << file << "\n";
    }
}

// The files of a folder. A folder that cannot be read is a problem, and so is a missing one the
// game needs: what the check cannot read, it has not checked.
std::vector<std::string> filesIn(const std::string& directory, bool needed) {
    std::vector<std::string> names;
    DIR* dir = opendir(platform::nativePath(directory).c_str());
    if (dir == nullptr) {
        if (errno != ENOENT) {
            report(directory, std::string("cannot read the folder: ") + std::strerror(errno));
        } else if (needed) {
            report(directory, "the game needs this folder, and it does not exist");
        }
        return names;
    }
    for (;;) {
        errno = 0;  // readdir tells the end from a failure only by errno
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            break;
        }
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && name[0] != '.') {
            names.push_back(name);
        }
    }
    if (errno != 0) {
        report(directory, std::string("cannot read the folder: ") + std::strerror(errno));
    }
    closedir(dir);
    return names;
}

bool exists(const std::string& gamePath) {
    std::ifstream in = platform::openInput(gamePath, true);
    return in.is_open();
}

// What the game opens by these names, whatever its screens say: the first screen, the board's
// menus, the cell's mesh and texture, the sparks and the click of a move.
const char* const neededFiles[] = {
    "Menus\\controller.ini",         "Menus\\hud.ini",        "Menus\\scores.ini",
    "..\\Meshes\\Hex.smf",           "..\\Textures\\Hex.bmp", "..\\Textures\\Spark.bmp",
    "..\\Textures\\Spark_alpha.bmp", "..\\Audio\\click.wav"};

// Where the engine looks for a screen file of this name.
std::string screenPath(const std::string& name) {
    const std::string extension = extensionOf(name);
    if (namesEqualIgnoringCase(extension, "menu")) {
        return "Menus\\" + name;
    }
    if (namesEqualIgnoringCase(extension, "ini")) {
        return name;
    }
    return "..\\Maps\\" + name;
}

bool isInteger(const std::string& text, long low, long high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= low && value <= high;
}

bool isShare(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value >= 0.0 && value <= 1.0;
}

bool isResolution(const std::string& text) {
    const std::size_t space = text.find(' ');
    return space != std::string::npos && isInteger(text.substr(0, space), 320, 16384) &&
           isInteger(text.substr(space + 1), 200, 16384);
}

// Whether the reader of the list's ini key understands the value.
std::string listValueProblem(const std::string& list, const std::string& value, std::size_t item) {
    auto starts = [&list](const char* prefix) { return list.rfind(prefix, 0) == 0; };
    bool understood = true;
    if (starts("lstAiControl")) {
        understood = isInteger(value, 0, 1);
    } else if (starts("lstAiDifficulty")) {
        understood = isInteger(value, 0, 10);
    } else if (list == "lstPlayers") {
        understood = isInteger(value, 2, 4);
    } else if (list == "lstFirstPlayer") {
        understood = isInteger(value, 0, 1);
    } else if (list == "lstBlackTiles") {
        understood = isShare(value);
    } else if (list == "lstResolution") {
        understood = isResolution(value);
    } else if (list == "lstVolume") {
        // The volume applied is the entry's position times 128 / 10; the file gets the value.
        understood = isInteger(value, 0, 128) &&
                     std::atoi(value.c_str()) == static_cast<int>(item * 128 / 10);
    }
    return understood ? std::string()
                      : "list " + list + " item " + std::to_string(item) + " has value '" + value +
                            "', which its setting does not take";
}

const char* const widgetTypes[] = {"PlayerTurnButton", "PlayerScoreText", "Panel",
                                   "PlayerPanel",      "TextBox",         "ScoreControl",
                                   "NewMapButton",     "QuitButton",      "ListBox",
                                   "NewGameControl",   "SettingsControl", "Image"};

void checkMenuFile(const std::string& path) {
    const IniFile ini(path);
    if (!ini.getString("General", "MapType", "").empty()) {
        // A controller file: its first menu and its board must exist.
        for (const char* key : {"menu", "Board"}) {
            const std::string target =
                ini.getString("General", key, key[0] == 'm' ? "Menus\\mainMenu.ini" : "map.ini");
            if (!exists(target)) {
                report(path, std::string(key) + " '" + target + "' does not exist");
            }
        }
        std::cout << "ok " << path << " (controller)\n";
        return;
    }
    for (int section = 0; section < ini.sectionCount(); ++section) {
        const std::string name = ini.sectionName(section);
        const std::string type = ini.getString(section, "Type", "");
        bool known = false;
        for (const char* widget : widgetTypes) {
            known = known || namesEqualIgnoringCase(type, widget);
        }
        if (!known) {
            report(path, "section [" + name + "] has Type '" + type + "', which no widget is");
            continue;
        }
        if (namesEqualIgnoringCase(type, "NewMapButton")) {
            const std::string target = ini.getString(section, "mapToLoad", "");
            const bool throughController = ini.getInt(section, "useController", 1) != 0;
            if (target.empty() || !exists(throughController ? target : screenPath(target))) {
                // Through the controller the name is opened as it is; without, as a screen.
                if (target.empty() || !exists(screenPath(target))) {
                    report(path,
                           "button [" + name + "] leads to '" + target + "', which does not exist");
                }
            }
        }
        if (namesEqualIgnoringCase(type, "ListBox")) {
            for (int item = 0;; ++item) {
                const std::string text = ini.getString(section, "item" + std::to_string(item), "");
                const std::string value =
                    ini.getString(section, "value" + std::to_string(item), "");
                if (text.empty() && value.empty()) {
                    break;
                }
                const std::string problem =
                    listValueProblem(widgetName(name), value, static_cast<std::size_t>(item));
                if (!problem.empty()) {
                    report(path, problem);
                }
            }
        }
        if (namesEqualIgnoringCase(type, "Image")) {
            const std::string texture = ini.getString(section, "texture", "");
            StoredObject* found = getResource(texture);
            if (found == nullptr || found->getTypeId() != 1 ||
                !namesEqualIgnoringCase(found->name(),
                                        getFileName(texture.substr(texture.find('>') + 1)))) {
                report(path,
                       "image [" + name + "] shows '" + texture + "', which is not a texture");
            }
        }
    }
    // The board shows its HUD and score menus; the controller shows all the others.
    const std::string file = getFileName(path);
    const bool boardMenu =
        namesEqualIgnoringCase(file, "hud.ini") || namesEqualIgnoringCase(file, "scores.ini");
    checked(path, [&path, boardMenu] {
        GameBoard board;
        MenuController controller;
        if (boardMenu) {
            board.load("map.ini", true);
            board.additionalSetup();
        }
        Menu menu;
        menu.parent = boardMenu ? static_cast<Map*>(&board) : &controller;
        menu.load(path, true);
    });
}

void checkBoard(const std::string& path) {
    if (!exists(path)) {
        report(path, "the board does not exist");
        return;
    }
    std::size_t unreachable = 0;
    checked(path, [&path, &unreachable] {
        GameBoard board;
        if (!board.load(path, true)) {
            return;
        }
        // Set-up sits out the slots without a start cell, so they are looked for before it.
        for (const Player& player : board.players) {
            if (player.active && player.startTile == nullptr) {
                logString("player slot " + std::to_string(player.index) + " has no start cell\n");
            }
        }
        // Before colours are drawn, only the description's own black cells wall areas in.
        board.linkNeighbours();
        unreachable = board.unreachableCells().size();
        board.additionalSetup();
        if (board.tiles().empty()) {
            logText("the board has no cells\n");
        }
    });
    // The game plays such a board to its end (the cells turn black), but it is likely a slip.
    if (unreachable > 0) {
        std::cout << "WARNING " << path << ": " << unreachable
                  << " cells no start cell can reach; they turn black at set-up\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tintfall-check DATA_FOLDER\n";
        return 2;
    }
    const std::string game = std::string(argv[1]) + "/game";
    // Without its game folder there is nothing to check at all.
    if (chdir(game.c_str()) != 0) {
        std::cerr << "no game folder in " << argv[1] << ": " << std::strerror(errno) << "\n";
        return 2;
    }
    char pattern[] = "/tmp/tintfall-check-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) {
        std::cerr << "cannot make a scratch debug log: " << std::strerror(errno) << "\n";
        return 2;
    }
    close(fd);
    logPath = pattern;
    setDebugLogPath(logPath);

    ResourceManager resources;
    for (const std::string& name : filesIn("..\\Textures", true)) {
        const std::string path = "..\\Textures\\" + name;
        if (namesEqualIgnoringCase(extensionOf(name), "txp")) {
            checked(path, [&path] {
                TexturePackage package;
                package.load(path, true);
            });
        } else {
            checked(path, [&path] {
                Texture texture;
                if (!texture.loadFromFile(path)) {
                    logText("not a texture the game can read\n");
                }
            });
        }
    }
    for (const std::string& name : filesIn("..\\Meshes", true)) {
        const std::string path = "..\\Meshes\\" + name;
        if (namesEqualIgnoringCase(extensionOf(name), "smp")) {
            checked(path, [&path] {
                StaticMeshPackage package;
                package.load(path, true);
            });
        } else {
            checked(path, [&path] {
                Polyhedron mesh;
                if (!mesh.loadFromFile(path)) {
                    logText("not a mesh the game can read\n");
                }
            });
        }
    }
    for (const std::string& name : filesIn("..\\Audio", true)) {
        const std::string path = "..\\Audio\\" + name;
        checked(path, [&path] {
            AudioTrack track;
            track.loadFromFile(path);
        });
    }
    for (const std::string& name : filesIn("Menus", true)) {
        checkMenuFile("Menus\\" + name);
    }
    for (const char* file : neededFiles) {
        if (!exists(file)) {
            report(file, "the game needs this file, and it does not exist");
        }
    }
    // The board behind the menus.
    checkBoard(IniFile("Menus\\controller.ini").getString("General", "Board", "map.ini"));
    for (const std::string& name : filesIn("Boards", false)) {
        checkBoard("Boards\\" + name);
    }
    std::remove(logPath.c_str());
    std::cout << (problems == 0 ? "data check: all files load cleanly\n"
                                : "data check: " + std::to_string(problems) + " problems\n");
    return problems == 0 ? 0 : 1;
}
