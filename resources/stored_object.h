// Everything the game loads or places on a screen is a StoredObject: a named object that reads
// itself from a file of its own or from a stream inside a package, and serialises itself into
// its own data buffer. Classes report their object factory id through getTypeId, and answer
// the type queries that stand in for run-time type checks.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

class Package;

class StoredObject {
  public:
    StoredObject() = default;
    StoredObject(const StoredObject&) = delete;
    StoredObject& operator=(const StoredObject&) = delete;
    virtual ~StoredObject() = default;

    // Names the object after the file (text after the last backslash) and reads it with
    // `load`, the tag being the file's extension.
    virtual bool loadFromFile(const std::string& path);
    // Reads the object from `in` at its current position. The tag says the format: "map"
    // inside a map package, otherwise the file's extension.
    virtual bool load(std::istream& in, const std::string& extensionTag);
    // Serialises the object into its data buffer, replacing what was there.
    virtual bool save();
    virtual void update(std::int32_t elapsedMs);
    virtual void cycleUpdate();
    virtual std::int32_t getTypeId() const { return 0; }
    virtual bool isMapObject() const { return false; }
    virtual bool isActor() const { return false; }
    virtual bool isTile() const { return false; }
    virtual bool isHudObject() const { return false; }
    virtual bool isMenuItem() const { return false; }
    // Once, when the screen holding the object goes away, before any of its objects is
    // destroyed; widgets that edit files write them here.
    virtual void beforeUnload() {}

    void setName(const std::string& newName) { name_ = newName; }
    const std::string& name() const { return name_; }

    // How a placed object names this one in a file: the owner's file name, '>' and the name;
    // the plain name for an object that has no owner (a resource read from its own file).
    std::string referenceText() const;

    // Appends bytes to the data buffer; false and nothing changed for null or zero bytes.
    bool appendData(const void* bytes, std::size_t count);
    const std::vector<std::uint8_t>& data() const { return data_; }
    void clearData() { data_.clear(); }

    // Not owned: the package (in practice the screen) the object has been placed in.
    Package* owner = nullptr;

  private:
    std::vector<std::uint8_t> data_;
    std::string name_;
};

// The text after the last backslash of `path`, or the whole path.
std::string getFileName(const std::string& path);
// The text after the last '.' of `name`, or the whole name when it has none.
std::string extensionOf(const std::string& name);
