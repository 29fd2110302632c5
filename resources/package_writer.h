// Writes package files: the header whose magic is the file's extension, the directory sorted by
// object name, then the records. The game itself never writes packages; the package tool and
// the tests do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class StoredObject;

struct PackageRecord {
    std::string name;
    std::vector<std::uint8_t> payload;
};

// The four magic bytes for a package file of this base name: its extension, zero-padded.
std::vector<std::uint8_t> packageMagicFor(const std::string& baseName);

// The whole file image. False, with `error` set, when the records cannot be stored: more than
// 65535 records, a name of 65535 bytes or more, two records of one name, or over 4 GiB.
bool buildPackage(const std::vector<std::uint8_t>& magic, std::vector<PackageRecord> records,
                  std::vector<std::uint8_t>& image, std::string& error);

// Builds the image with the magic of `path`'s extension and writes it to `path` (a native path).
bool writePackage(const std::string& path, std::vector<PackageRecord> records, std::string& error);

// A map package record's payload: the object's type id, then what its save() serialises.
bool mapRecordPayload(StoredObject& object, std::vector<std::uint8_t>& payload);
