// tintfall-check: loads every menu, board description, mesh, texture and sound of a data folder
// the way the game does, and fails, naming the file, on anything the game would stumble over:
// any line the loading writes to the debug log, a widget whose Type no class answers to, a
// button whose target file does not exist, or a list whose values the reading side would not
// understand. It also lays out every menu with the stroke font's real widths and names each text
// that leaves its widget, each widget off screen, each list row not drawn or cut, each pair of
// clickable widgets that overlap, and whatever a screen draws over the HUD beneath it. The font
// needs an X display; without one the check fails. What it cannot check fails too: a folder it
// cannot read, a folder or file the game needs that is missing. A board with cells no start cell
// can reach gets a WARNING, no failure. Exit status: 0 clean, 1 problems found, 2 nothing could be
// checked.
//
//   tintfall-check DATA_FOLDER      (the folder holding game/, Textures/, Meshes/, Audio/, Maps/)
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
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

#include "engine/resource_manager.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "menus/object_types.h"
#include "menus/text_box.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "platform/sanitizer_support.h"
#include "render/polyhedron.h"
#include "render/stroke_text.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"
#include "resources/object_factory.h"
#include "resources/static_mesh_package.h"
#include "resources/texture.h"
#include "resources/texture_package.h"
#include "resources/type_ids.h"

namespace {

using platform::namesEqualIgnoringCase;

int problems = 0;
std::string logPath;

void report(const std::string& file, const std::string& message) {
    std::cout << "error " << file << ": " << message << "\n";
    ++problems;
}

// Runs `load` with the debug log captured; every line it wrote is a problem of `file`.
template <typename Load>
void checked(const std::string& file, Load load) {
    std::remove(logPath.c_str());
    load();
    std::istringstream lines(platform::readNativeFile(logPath));
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
        // "expert" is kept as the Hard level with the "Expert" key (the new-game control).
        understood = isInteger(value, 0, 10) || value == "expert";
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

// ---- Layout: where each menu draws its widgets and texts ----
// Screen units follow the window's width, so a window's shape only moves the bottom edge: a
// menu that fits the shortest window the player can choose fits them all.

struct Window {
    std::string size;
    double bottom;
};

// The shortest of the default window and every size a resolution list offers.
Window shortestWindow() {
    Window shortest{"1024 x 768", 0.75};
    for (const std::string& name : filesIn("Menus", false)) {
        const IniFile ini("Menus\\" + name);
        for (int section = 0; section < ini.sectionCount(); ++section) {
            if (objectNameOfSection(ini.sectionName(section)) != "lstResolution") {
                continue;
            }
            for (int item = 0;; ++item) {
                const std::string n = std::to_string(item);
                const std::string value = ini.getString(section, "value" + n, "");
                if (value.empty() && ini.getString(section, "item" + n, "").empty()) {
                    break;
                }
                if (!isResolution(value)) {
                    continue;
                }
                const std::size_t space = value.find(' ');
                const double bottom =
                    std::atof(value.c_str() + space + 1) / std::atof(value.c_str());
                if (bottom < shortest.bottom) {
                    shortest = {value.substr(0, space) + " x " + value.substr(space + 1), bottom};
                }
            }
        }
    }
    return shortest;
}

// The widest score a score text may show: any count of cells up to the largest board's.
std::string widestScore() {
    std::vector<std::string> boards{"map.ini"};
    for (const std::string& name : filesIn("Boards", false)) {
        boards.push_back("Boards\\" + name);
    }
    std::size_t cells = 0;
    for (const std::string& path : boards) {
        GameBoard board;
        if (board.load(path, true)) {
            cells = std::max(cells, board.tiles().size());
        }
    }
    std::string widest = "0";
    for (std::size_t score = 1; score <= cells; ++score) {
        const std::string text = std::to_string(score);
        if (strokeTextWidth(text, 1.0) > strokeTextWidth(widest, 1.0)) {
            widest = text;
        }
    }
    return widest;
}

struct Box {
    double left;
    double top;
    double right;
    double bottom;
};

std::string number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string describe(const Box& box) {
    return number(box.left) + ".." + number(box.right) + " x " + number(box.top) + ".." +
           number(box.bottom);
}

// Rounding may put a text's top a hair above the top it was computed from.
constexpr double slack = 1e-9;

bool inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left - slack && inner.right <= outer.right + slack &&
           inner.top >= outer.top - slack && inner.bottom <= outer.bottom + slack;
}

// Two drawings cover each other; merely touching edges do not.
bool covers(const Box& a, const Box& b) {
    return a.left < b.right - slack && b.left < a.right - slack && a.top < b.bottom - slack &&
           b.top < a.bottom - slack;
}

// Menu items take a click on their very edges too, so touching ones share the clicks there.
bool shareClicks(const Box& a, const Box& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

struct Drawing {
    std::vector<std::pair<std::string, Box>> parts;  // every widget and text drawn, named
    std::vector<std::string> problems;
};

// One pass over the menu's widgets: their rectangles and their texts where the widgets' own
// drawing puts them, with score texts showing the widest score.
Drawing layOut(const Menu& menu, const Window& window, const std::string& widest) {
    Drawing drawing;
    std::vector<std::pair<std::string, Box>> clickable;
    for (int i = 0; i < menu.objectCount(); ++i) {
        StoredObject* object = menu.objectAt(i);
        const std::int32_t type = object->getTypeId();
        // The score, new-game and settings controls draw nothing.
        if (!object->isHudObject() || type == TypeId::scoreControl ||
            type == TypeId::newGameControl || type == TypeId::settingsControl) {
            continue;
        }
        auto* widget = static_cast<HudObject*>(object);
        const std::string name = "[" + widget->name() + "]";
        const Box rect{widget->Left, widget->Top, widget->Right, widget->Bottom};
        if (!inside(rect, {0.0, 0.0, 1.0, window.bottom})) {
            drawing.problems.push_back(name + " at " + describe(rect) + " is not all on a " +
                                       window.size + " screen (0..1 x 0.." + number(window.bottom) +
                                       ")");
        }
        drawing.parts.emplace_back(name, rect);
        if (type == TypeId::playerScoreText) {
            static_cast<TextBox*>(widget)->setText(widest);
        }
        const std::vector<PlacedText> texts = widget->placedTexts();
        for (const PlacedText& text : texts) {
            const Box ink{text.x, text.baseline - text.h,
                          text.x + strokeTextWidth(text.text, text.h), text.baseline};
            const Box box{text.boxLeft, text.boxTop, text.boxRight, text.boxBottom};
            const std::string what = "text '" + text.text + "' of " + name;
            if (!inside(ink, box)) {
                drawing.problems.push_back(what + " is drawn at " + describe(ink) +
                                           ", outside its box " + describe(box));
            }
            if (!text.text.empty()) {
                drawing.parts.emplace_back(what, ink);
            }
        }
        if (type == TypeId::listBox) {
            const std::vector<std::string>& items = static_cast<ListBox*>(widget)->items();
            for (std::size_t item = 0; item < items.size(); ++item) {
                const std::string what =
                    "list " + name + " item " + std::to_string(item) + " '" + items[item] + "'";
                if (item >= texts.size()) {
                    drawing.problems.push_back(what + " is not drawn: its row does not fit");
                } else if (texts[item].text != items[item]) {
                    drawing.problems.push_back(what + " is cut to '" + texts[item].text + "'");
                }
            }
        }
        if (widget->isMenuItem()) {
            for (const auto& [otherName, otherRect] : clickable) {
                if (shareClicks(rect, otherRect)) {
                    drawing.problems.push_back(otherName + " and " + name +
                                               " overlap: a click there reaches both");
                }
            }
            clickable.emplace_back(name, rect);
        }
    }
    return drawing;
}

// Lays out a menu file as the game shows it; every screen but the HUD is drawn over the HUD
// (the menus over the background board's, the score screen over the game's).
void checkLayout(const std::string& path, bool boardMenu) {
    static const Window window = shortestWindow();
    static const std::string widest = widestScore();
    GameBoard board;
    MenuController controller;
    if (boardMenu) {
        board.load("map.ini", true);
        board.additionalSetup();
    }
    Menu menu;
    menu.parent = boardMenu ? static_cast<Map*>(&board) : &controller;
    menu.load(path, true);
    const Drawing drawing = layOut(menu, window, widest);
    for (const std::string& problem : drawing.problems) {
        report(path, problem);
    }
    if (board.hudMenu == nullptr || namesEqualIgnoringCase(getFileName(path), "hud.ini")) {
        return;
    }
    const Drawing hud = layOut(*board.hudMenu, window, widest);
    for (const auto& [what, box] : drawing.parts) {
        for (const auto& [hudWhat, hudBox] : hud.parts) {
            if (covers(box, hudBox)) {
                report(path, what + " is drawn over the HUD's " + hudWhat);
                break;
            }
        }
    }
}

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
        // The menus' own table of widget kinds says what a `Type` may name.
        if (findWidgetType(type) == nullptr) {
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
                const std::string problem = listValueProblem(objectNameOfSection(name), value,
                                                             static_cast<std::size_t>(item));
                if (!problem.empty()) {
                    report(path, problem);
                }
            }
        }
        if (namesEqualIgnoringCase(type, "Image")) {
            const std::string texture = ini.getString(section, "texture", "");
            StoredObject* found = getResource(texture);
            if (found == nullptr || found->getTypeId() != TypeId::texture ||
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
    checkLayout(path, boardMenu);
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
    installObjectTypes();
    if (!initialiseStrokeFont()) {
        std::cerr << "no X display: the menus' layout needs the stroke font, which needs one "
                     "(run under Xvfb)\n";
        return 2;
    }
    // glutInit loads the GL driver: keep it loaded, so a sanitizer build can name its allocations.
    platform::keepGlDriverLoaded();
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
