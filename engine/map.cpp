#include "engine/map.h"

#include "engine/debug_log.h"
#include "engine/resource_manager.h"
#include "platform/platform.h"
#include "resources/ini_file.h"

bool Map::load(const std::string& path, bool /*loadAll*/) {
    if (path.empty()) {
        return false;
    }
    fileName_ = getFileName(path);
    const std::size_t dot = fileName_.find_last_of('.');
    if (dot != std::string::npos && fileName_.compare(dot + 1, std::string::npos, "ini") == 0) {
        IniFile ini(path);
        loadIniFile(ini);
        return true;
    }
    std::ifstream in = platform::openInput(path, true);
    if (!in.is_open()) {
        logText("failed to open file ");
        logString(path);
        logText("\n");
        return false;
    }
    // Binary map packages are not read yet.
    logText("failure during loading of file ");
    logString(path);
    logText("\n");
    return false;
}

void Map::additionalSetup() {
    logText("Error: Map::additionalSetup called in base class\n");
}
void Map::update() {
    logText("Error, update called in base class\n");
}
void Map::draw() {
    logText("Error, draw called in base class\n");
}

void Map::keyPressed(std::int32_t, std::int32_t) {
    logText("Error: Map::keyPressed() called in base class\n");
}

void Map::keyReleased(std::int32_t, std::int32_t) {
    logText("Error: Map::keyReleased() called in base class\n");
}

void Map::mouseMoved(double, double, double, double) {
    logText("Error: Map::mouseMoved() called in base class\n");
}

void Map::mouseButtonPressed(double, double, std::int32_t) {
    logText("Error: Map::mouseButtonPressed() called in base class\n");
}

void Map::mouseButtonReleased(double, double, std::int32_t) {
    logText("Error: Map::mouseButtonReleased() called in base class\n");
}

bool Map::loadIniFile(IniFile&) {
    logText("Error: called Map::loadIniFile(), this is base class and should never be called\n");
    return false;
}
