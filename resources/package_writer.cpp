#include "resources/package_writer.h"

#include <algorithm>
#include <fstream>
#include <limits>

#include "resources/byte_writer.h"
#include "resources/stored_object.h"

namespace {

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

    ByteWriter out;
    out.append(magic.data(), magic.size());
    out.u16(0);
    out.u16(static_cast<std::uint16_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        out.u16(0);  // the spare field, which no reader interprets
        out.u16(static_cast<std::uint16_t>(records[i].name.size()));
        out.u32(offsets[i]);
    }
    for (const PackageRecord& record : records) {
        out.append(record.name.data(), record.name.size());
        out.append(record.payload.data(), record.payload.size());
    }
    image = std::move(out.bytes);
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
    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(object.getTypeId()));
    out.append(object.data().data(), object.data().size());
    payload = std::move(out.bytes);
    return true;
}
