// tintfall-pack: builds, lists and unpacks the game's package files.
//
//   tintfall-pack create OUT FILE...       texture (.txp), mesh (.smp) or map package
//   tintfall-pack list PACKAGE             the directory: name, offset, size, content kind
//   tintfall-pack extract PACKAGE NAME [OUT]
//
// For `create`, each FILE may be written NAME=FILE to store it under another name, and for map
// packages (.map, .menu, .bord) NAME=TYPEID:FILE stores the object's type id before the file's
// bytes (the object's serialised fields). Records are sorted by name as the readers require.
// The reading side is the game's own package reader, so what this tool lists the game can load.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "resources/byte_reader.h"
#include "resources/byte_writer.h"
#include "resources/package.h"
#include "resources/package_writer.h"

namespace {

// The bytes of one record's payload, read by the game's own package code.
class RawObject : public StoredObject {
  public:
    std::vector<std::uint8_t> bytes;
};

class RawPackage : public Package {
  public:
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string&,
                                             std::uint32_t payloadOffset) override {
        // A payload runs to the next record or to the end of the file.
        in.clear();
        in.seekg(0, std::ios::end);
        std::uint64_t end = static_cast<std::uint64_t>(in.tellg());
        for (const DirectoryEntry& entry : *directory()) {
            if (entry.recordOffset >= payloadOffset && entry.recordOffset < end) {
                end = entry.recordOffset;
            }
        }
        auto object = std::make_unique<RawObject>();
        if (end > payloadOffset) {
            object->bytes.resize(static_cast<std::size_t>(end - payloadOffset));
            in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
            in.read(reinterpret_cast<char*>(object->bytes.data()),
                    static_cast<std::streamsize>(object->bytes.size()));
            object->bytes.resize(static_cast<std::size_t>(in.gcount()));
        }
        return object;
    }
};

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isMapPackage(const std::string& extension) {
    return extension == "map" || extension == "menu" || extension == "bord";
}

std::string contentKind(const std::vector<std::uint8_t>& bytes, bool mapPackage) {
    if (mapPackage && bytes.size() >= 4) {
        return "type id " + std::to_string(loadU32(bytes.data()));
    }
    if (bytes.size() >= 4 && bytes[3] == 0 &&
        (std::string(bytes.begin(), bytes.begin() + 3) == "txf" ||
         std::string(bytes.begin(), bytes.begin() + 3) == "smf")) {
        return std::string(bytes.begin(), bytes.begin() + 3);
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return "bmp";
    }
    return "unknown";
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Package reading logs to the debug log; the tool shows those lines on standard error.
class LogToStderr {
  public:
    LogToStderr() {
        char pattern[] = "/tmp/tintfall-pack-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            close(fd);
            path_ = pattern;
            setDebugLogPath(path_);
        }
    }
    ~LogToStderr() {
        if (path_.empty()) {
            return;
        }
        setDebugLogPath(".\\debug.log");
        std::ifstream in(path_);
        std::cerr << in.rdbuf();
        std::remove(path_.c_str());
    }
    LogToStderr(const LogToStderr&) = delete;
    LogToStderr& operator=(const LogToStderr&) = delete;

  private:
    std::string path_;
};

int create(const std::string& output, const std::vector<std::string>& inputs) {
    const std::string extension = lowerCase(extensionOf(baseName(output)));
    const bool mapPackage = isMapPackage(extension);
    std::vector<PackageRecord> records;
    for (const std::string& input : inputs) {
        std::string name;
        std::string file = input;
        const std::size_t equals = input.find('=');
        if (equals != std::string::npos) {
            name = input.substr(0, equals);
            file = input.substr(equals + 1);
        }
        ByteWriter payload;
        if (mapPackage) {
            const std::size_t colon = file.find(':');
            char* end = nullptr;
            const unsigned long typeId =
                colon == std::string::npos ? 0 : std::strtoul(file.c_str(), &end, 10);
            if (colon == std::string::npos || end != file.c_str() + colon) {
                std::cerr << "map package objects are given as NAME=TYPEID:FILE: " << input << "\n";
                return 1;
            }
            file = file.substr(colon + 1);
            payload.u32(static_cast<std::uint32_t>(typeId));
        }
        if (name.empty()) {
            name = baseName(file);
        }
        std::vector<std::uint8_t> contents;
        if (!readWholeFile(file, contents)) {
            std::cerr << "cannot read " << file << "\n";
            return 1;
        }
        payload.append(contents.data(), contents.size());
        const std::string kind = contentKind(payload.bytes, mapPackage);
        if (extension == "txp" && kind != "txf" && kind != "bmp") {
            std::cerr << file << " is neither a txf nor a BMP image\n";
            return 1;
        }
        if (extension == "smp" && kind != "smf") {
            std::cerr << file << " is not an smf mesh\n";
            return 1;
        }
        records.push_back(PackageRecord{name, std::move(payload.bytes)});
    }
    std::string error;
    if (!writePackage(output, std::move(records), error)) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}

bool open(RawPackage& package, const std::string& path) {
    // The reader takes game paths; a native absolute or relative path works as it is.
    if (!package.load(path, true)) {
        std::cerr << "cannot read package " << path << "\n";
        return false;
    }
    return true;
}

int list(const std::string& path) {
    LogToStderr log;
    RawPackage package;
    if (!open(package, path)) {
        return 1;
    }
    const bool mapPackage = isMapPackage(lowerCase(extensionOf(baseName(path))));
    std::cout << package.directory()->size() << " objects\n";
    for (const DirectoryEntry& entry : *package.directory()) {
        const auto* object = static_cast<const RawObject*>(package.objectAt(entry.objectIndex));
        const std::size_t size = object != nullptr ? object->bytes.size() : 0;
        std::cout << entry.name << "\toffset " << entry.recordOffset << "\t" << size << " bytes\t"
                  << (object != nullptr ? contentKind(object->bytes, mapPackage) : "unreadable")
                  << "\n";
    }
    return 0;
}

int extract(const std::string& path, const std::string& name, const std::string& output) {
    LogToStderr log;
    RawPackage package;
    if (!open(package, path)) {
        return 1;
    }
    const auto* object = static_cast<const RawObject*>(package.getObject(name));
    if (object == nullptr) {
        std::cerr << "no object named " << name << " in " << path << "\n";
        return 1;
    }
    std::ofstream out(output.empty() ? name : output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(object->bytes.data()),
              static_cast<std::streamsize>(object->bytes.size()));
    return out ? 0 : 1;
}

int usage() {
    std::cerr << "usage:\n"
                 "  tintfall-pack create OUT.txp|OUT.smp [NAME=]FILE...\n"
                 "  tintfall-pack create OUT.map|OUT.menu|OUT.bord NAME=TYPEID:FILE...\n"
                 "  tintfall-pack list PACKAGE\n"
                 "  tintfall-pack extract PACKAGE NAME [OUT]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "create") {
        return create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
    if (args.size() == 2 && args[0] == "list") {
        return list(args[1]);
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == "extract") {
        return extract(args[1], args[2], args.size() == 4 ? args[3] : std::string());
    }
    return usage();
}
