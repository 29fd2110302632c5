#include "resources/stored_object.h"

#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/package.h"

std::string getFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

bool StoredObject::loadFromFile(const std::string& path) {
    setName(getFileName(path));
    if (name_.empty()) {
        return false;
    }
    std::ifstream in = platform::openInput(path, true);
    if (!in.is_open()) {
        logText("Failed to open file ");
        logString(path);
        logText("\n");
        return false;
    }
    return load(in, extensionOf(path));
}

bool StoredObject::load(std::istream&, const std::string&) {
    logText("Error: Atempting to load \"StoredObject\", must load inherited class\n");
    return false;
}

bool StoredObject::save() {
    logText("Error: Atempting to save \"StoredObject\", must save inherited class\n");
    return false;
}

void StoredObject::update(std::int32_t) {}

void StoredObject::cycleUpdate() {}

std::string StoredObject::referenceText() const {
    if (owner == nullptr) {
        return name_;
    }
    return owner->fileName() + ">" + name_;
}

bool StoredObject::appendData(const void* bytes, std::size_t count) {
    if (bytes == nullptr || count == 0) {
        return false;
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    data_.insert(data_.end(), first, first + count);
    return true;
}
