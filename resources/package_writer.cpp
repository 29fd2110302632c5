#include "resources/package_writer.h"

#include <algorithm>
#include <fstream>
#include <limits>

#include "resources/stored_object.h"

namespace {

void putU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xff));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xff));
    }
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::uint8_t> packageMagicFor(const std::string& baseName) {
    const std::string extension = extensionOf(baseName);
    std::vector<std::uint8_t> magic(4, 0);
    for (std::size_t i = 0; i < 4 && i < extension.size(); ++i) {
        magic[i] = static_cast<std::uint8_t>(extension[i]);
    }
    return magic;
}

bool buildPackage(const std::vector<std::uint8_t>& magic, std::vector<PackageRecord> records,
                  std::vector<std::uint8_t>& image, std::string& error) {
    if (magic.size() != 4) {
        error = "the magic must be four bytes";
        return false;
    }
    if (records.size() > std::numeric_limits<std::uint16_t>::max()) {
        error = "a package holds at most 65535 objects";
        return false;
    }
    // Readers binary-search the directory by byte order of the names.
    std::sort(records.begin(), records.end(),
              [](const PackageRecord& a, const PackageRecord& b) { return a.name < b.name; });
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].name.size() >= std::numeric_limits<std::uint16_t>::max()) {
            error = "object name too long: " + records[i].name.substr(0, 40) + "...";
            return false;
        }
        if (i > 0 && records[i].name == records[i - 1].name) {
            error = "two objects named " + records[i].name;
            return false;
        }
    }

    std::uint64_t offset = 8 + 8 * static_cast<std::uint64_t>(records.size());
    std::vector<std::uint32_t> offsets;
    for (const PackageRecord& record : records) {
        if (offset > std::numeric_limits<std::uint32_t>::max()) {
            error = "package larger than 4 GiB";
            return false;
        }
        offsets.push_back(static_cast<std::uint32_t>(offset));
        offset += record.name.size() + record.payload.size();
    }

    image.clear();
    image.insert(image.end(), magic.begin(), magic.end());
    putU16(image, 0);
    putU16(image, static_cast<std::uint16_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        putU16(image, 0);  // the spare field, which no reader interprets
        putU16(image, static_cast<std::uint16_t>(records[i].name.size()));
        putU32(image, offsets[i]);
    }
    for (const PackageRecord& record : records) {
        image.insert(image.end(), record.name.begin(), record.name.end());
        image.insert(image.end(), record.payload.begin(), record.payload.end());
    }
    return true;
}

bool writePackage(const std::string& path, std::vector<PackageRecord> records, std::string& error) {
    std::vector<std::uint8_t> image;
    if (!buildPackage(packageMagicFor(baseNameOf(path)), std::move(records), image, error)) {
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool mapRecordPayload(StoredObject& object, std::vector<std::uint8_t>& payload) {
    if (!object.save()) {
        return false;
    }
    payload.clear();
    putU32(payload, static_cast<std::uint32_t>(object.getTypeId()));
    payload.insert(payload.end(), object.data().begin(), object.data().end());
    return true;
}
