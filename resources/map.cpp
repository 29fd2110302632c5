#include "resources/map.h"

#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/byte_reader.h"
#include "resources/ini_file.h"
#include "resources/object_factory.h"

Map::~Map() {
    // Widgets that edit files write them here, when their screen is left (the settings screen
    // does), all before any widget is destroyed.
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object != nullptr && object->isHudObject()) {
            object->beforeUnload();
        }
    }
}

bool Map::load(const std::string& path, bool loadAll) {
    if (path.empty()) {
        return false;
    }
    setFileName(getFileName(path));
    const std::string& name = fileName();
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && name.compare(dot + 1, std::string::npos, "ini") == 0) {
        IniFile ini(path);
        // The screen is shown as far as it was built; that the file could not make one is
        // worth a line, as the screens' own messages do not name it. A file that is not there
        // at all gives an empty screen without a word.
        const bool used = loadIniFile(ini);
        if (!used ||
            (ini.sectionCount() == 0 && platform::fileKind(path) != platform::FileKind::missing)) {
            logText("Unable to use map file '");
            logString(path);
            logText("'\n");
        }
        return true;
    }
    return Package::load(path, loadAll);
}

std::unique_ptr<StoredObject> Map::loadObject(std::istream& in, const std::string& name,
                                              std::uint32_t payloadOffset) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
    std::uint32_t typeId = 0;
    if (!ByteReader(in).u32(typeId)) {
        logText("Failed to read object '");
        logString(name);
        logText("' in package '");
        logString(fileName());
        logText("'\n");
        return nullptr;
    }
    std::unique_ptr<StoredObject> object =
        createStoredObject(static_cast<std::int32_t>(typeId), in);
    if (object) {
        object->setName(name);
    }
    return object;
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
