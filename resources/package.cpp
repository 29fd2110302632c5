#include "resources/package.h"

#include <cstring>
#include <fstream>

#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/byte_reader.h"

namespace {

bool seekTo(std::istream& in, std::uint32_t offset) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    return !in.fail();
}

// The magic a file of this base name must carry: its extension, compared as zero-terminated
// text over at most four bytes.
bool magicMatches(const std::array<char, 4>& magic, const std::string& baseName) {
    const std::string extension = extensionOf(baseName);
    std::array<char, 4> expected{};
    std::memcpy(expected.data(), extension.data(), extension.size() < 4 ? extension.size() : 4);
    for (std::size_t i = 0; i < 4; ++i) {
        if (magic[i] != expected[i]) {
            return false;
        }
        if (magic[i] == '\0') {
            return true;
        }
    }
    return true;
}

}  // namespace

Package::~Package() = default;

bool Package::load(const std::string& path, bool loadAllObjects) {
    if (path.empty()) {
        return false;
    }
    std::ifstream in = platform::openInput(path, true);
    if (!in.is_open()) {
        logText("failed to open file ");
        logString(path);
        logText("\n");
        return false;
    }
    filePath_ = path;
    fileName_ = getFileName(path);
    if (!readFrom(in, !loadAllObjects)) {
        logText("failure during loading of file ");
        logString(path);
        logText("\n");
        return false;
    }
    return true;
}

void Package::clear() {
    objects_.clear();
}

std::unique_ptr<StoredObject> Package::loadObject(std::istream&, const std::string&,
                                                  std::uint32_t) {
    logText("attempting to load from base package, must use inherited class\n");
    return nullptr;
}

bool Package::readDirectory(std::istream& in, PackageHeader& header,
                            std::vector<DirectoryEntry>& directory) const {
    ByteReader reader(in);
    if (!reader.read(header.magic.data(), 4) || !reader.u16(header.reserved) ||
        !reader.u16(header.objectCount)) {
        return false;
    }
    if (!magicMatches(header.magic, fileName_) || header.reserved != 0) {
        return false;
    }
    // At most 65535 records of 8 bytes: read one by one, so a lying count costs nothing.
    directory.clear();
    for (std::uint16_t i = 0; i < header.objectCount; ++i) {
        DirectoryEntry entry;
        if (!reader.u16(entry.spare) || !reader.u16(entry.nameLength) ||
            !reader.u32(entry.recordOffset)) {
            return false;
        }
        directory.push_back(std::move(entry));
    }
    return true;
}

bool Package::readFrom(std::istream& in, bool lazy) {
    auto header = std::make_unique<PackageHeader>();
    auto directory = std::make_unique<std::vector<DirectoryEntry>>();
    if (!readDirectory(in, *header, *directory)) {
        clear();
        return false;
    }
    objects_.clear();
    objects_.reserve(directory->size());
    header_ = std::move(header);
    directory_ = std::move(directory);
    if (lazy) {
        return true;
    }
    return loadAll(in);
}

bool Package::readEntryName(std::istream& in, DirectoryEntry& entry) {
    ByteReader reader(in);
    if (!seekTo(in, entry.recordOffset) || !reader.holds(entry.nameLength)) {
        return false;
    }
    std::string name(entry.nameLength, '\0');
    if (!reader.read(name.data(), name.size())) {
        return false;
    }
    entry.name = std::move(name);
    return true;
}

bool Package::loadEntry(std::istream& in, DirectoryEntry& entry) {
    in.clear();
    const std::uint32_t payloadOffset = entry.recordOffset + entry.nameLength;
    // While its record is read the entry is not there to be found: an object that names itself
    // (a mesh its own texture) gets none rather than reading itself again without end.
    entry.objectIndex = beingRead;
    std::unique_ptr<StoredObject> object = loadObject(in, entry.name, payloadOffset);
    entry.objectIndex = -1;
    if (!object) {
        logText("Failed to load ");
        logString(entry.name);
        logText(" in ");
        logString(fileName_);
        logText("\n");
        return false;
    }
    // Every package names its objects after their records; held objects are found by it.
    object->setName(entry.name);
    entry.objectIndex = static_cast<std::int32_t>(objects_.size());
    objects_.push_back(std::move(object));
    return true;
}

void Package::logUnreadableRecord(const std::string& name) const {
    logText("Unable to read ");
    logString(name);
    logText(" in ");
    logString(fileName_);
    logText("\n");
}

bool Package::loadAll(std::istream& in) {
    if (!directory_) {
        return true;
    }
    for (DirectoryEntry& entry : *directory_) {
        if (entry.objectIndex != -1) {
            continue;
        }
        if (!readEntryName(in, entry)) {
            clear();
            for (DirectoryEntry& other : *directory_) {
                other.objectIndex = -1;
            }
            return false;
        }
        loadEntry(in, entry);
    }
    return true;
}

bool Package::loadRemaining() {
    if (!directory_ || objects_.size() >= directory_->size()) {
        return true;
    }
    std::ifstream in = platform::openInput(filePath_, true);
    if (!in.is_open()) {
        logText("failed to open file: ");
        logString(fileName_);
        logText("\n");
        return false;
    }
    if (!loadAll(in)) {
        return false;
    }
    if (objects_.size() < directory_->size()) {
        logText("Some files couldn't be loaded from package \"");
        logString(fileName_);
        logText("\", these files will not be saved.\n");
        // Keep only the entries that have an object, in directory order, with the objects
        // renumbered to match.
        auto kept = std::make_unique<std::vector<DirectoryEntry>>();
        std::vector<std::unique_ptr<StoredObject>> keptObjects;
        for (DirectoryEntry& entry : *directory_) {
            if (entry.objectIndex >= 0) {
                keptObjects.push_back(
                    std::move(objects_[static_cast<std::size_t>(entry.objectIndex)]));
                entry.objectIndex = static_cast<std::int32_t>(keptObjects.size() - 1);
                kept->push_back(entry);
            }
        }
        objects_ = std::move(keptObjects);
        directory_ = std::move(kept);
        if (header_) {
            header_->objectCount = static_cast<std::uint16_t>(directory_->size());
        }
    }
    return true;
}

int Package::findRunTimeObject(const std::string& name) const {
    const std::size_t first = directory_ ? directory_->size() : 0;
    for (std::size_t i = first; i < objects_.size(); ++i) {
        if (objects_[i] && objects_[i]->name() == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Package::findEntry(std::vector<DirectoryEntry>& directory, const std::string& name,
                       std::ifstream& file) {
    int lo = 0;
    int hi = static_cast<int>(directory.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        DirectoryEntry& entry = directory[static_cast<std::size_t>(mid)];
        if (entry.name.empty() && entry.nameLength > 0) {
            if (!file.is_open()) {
                file = platform::openInput(filePath_, true);
            }
            if (!file.is_open() || !readEntryName(file, entry)) {
                logText("failed to read from file: ");
                logString(fileName_);
                logText("\n");
                return -2;
            }
        }
        // Byte-wise comparison, as strcmp does with unsigned bytes.
        const int order = name.compare(entry.name);
        if (order < 0) {
            hi = mid - 1;
        } else if (order > 0) {
            lo = mid + 1;
        } else {
            return mid;
        }
    }
    return -1;
}

int Package::indexOf(const std::string& name) {
    if (!header_ || !directory_) {
        return findRunTimeObject(name);
    }
    std::ifstream file;
    const int found = findEntry(*directory_, name, file);
    if (found == -2) {
        return -1;
    }
    if (found == -1) {
        return findRunTimeObject(name);
    }
    DirectoryEntry& entry = (*directory_)[static_cast<std::size_t>(found)];
    if (entry.objectIndex == beingRead) {
        return -1;
    }
    if (entry.objectIndex == -1) {
        if (!file.is_open()) {
            file = platform::openInput(filePath_, true);
        }
        if (!file.is_open()) {
            logText("failed to read from file: ");
            logString(fileName_);
            logText("\n");
            return -1;
        }
        loadEntry(file, entry);
    }
    return entry.objectIndex;
}

StoredObject* Package::getObject(const std::string& name) {
    const int index = indexOf(name);
    return index >= 0 ? objects_[static_cast<std::size_t>(index)].get() : nullptr;
}

void Package::addObject(std::unique_ptr<StoredObject> object) {
    if (header_ && directory_ && objects_.size() < directory_->size()) {
        loadRemaining();
    }
    if (!object || object->name().empty()) {
        logText("error loading file\n");
        return;
    }
    objects_.push_back(std::move(object));
}

StoredObject* Package::objectAt(int index) const {
    if (index < 0 || index >= objectCount()) {
        return nullptr;
    }
    return objects_[static_cast<std::size_t>(index)].get();
}

void Package::releaseDirectory() {
    header_.reset();
    directory_.reset();
}

StoredObject* Package::getReleasedObject(const std::string& name) {
    if (directory_ || filePath_.empty()) {
        return getObject(name);
    }
    if (StoredObject* held = getObject(name)) {
        return held;
    }
    std::ifstream file = platform::openInput(filePath_, true);
    if (!file.is_open()) {
        logText("failed to open file: ");
        logString(fileName_);
        logText("\n");
        return nullptr;
    }
    PackageHeader header;
    std::vector<DirectoryEntry> directory;
    if (!readDirectory(file, header, directory)) {
        logText("failure during loading of file ");
        logString(filePath_);
        logText("\n");
        return nullptr;
    }
    const int found = findEntry(directory, name, file);
    // The object is appended to the held ones: with the directory gone, they are all found by
    // name alone.
    if (found < 0 || !loadEntry(file, directory[static_cast<std::size_t>(found)])) {
        return nullptr;
    }
    return objects_.back().get();
}
