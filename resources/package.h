// A container file of stored objects: an 8-byte header whose magic is the file's extension, a
// directory sorted by object name, and one record per object. A package owns the objects read
// from it, loads them all at once or one by one on first use, and takes further objects created
// at run time. Texture packages, mesh packages and screens (Map) are packages; each supplies
// loadObject, which turns one record into an object.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "resources/stored_object.h"

struct PackageHeader {
    std::array<char, 4> magic{};
    std::uint16_t reserved = 0;
    std::uint16_t objectCount = 0;
};

struct DirectoryEntry {
    std::uint16_t spare = 0;
    std::uint16_t nameLength = 0;
    std::uint32_t recordOffset = 0;
    std::string name;  // empty until read from the record
    // The object's index in the package; -1 while not loaded (beingRead while its record is).
    std::int32_t objectIndex = -1;
};

class Package {
  public:
    Package() = default;
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;
    virtual ~Package();

    // Opens the package file and reads its directory; with `loadAll` every object as well.
    virtual bool load(const std::string& path, bool loadAll);
    virtual bool isMap() const { return false; }
    virtual bool isMenu() const { return false; }
    virtual bool isGameBoard() const { return false; }
    virtual bool isMenuController() const { return false; }
    // Deletes every held object.
    virtual void clear();
    // Turns the record whose payload starts at `payloadOffset` into an object, or none.
    virtual std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string& name,
                                                     std::uint32_t payloadOffset);

    bool readFrom(std::istream& in, bool lazy);
    bool loadAll(std::istream& in);
    bool loadRemaining();
    // Index of the object of that exact name, loading it on first use; -1 when there is none.
    int indexOf(const std::string& name);
    StoredObject* getObject(const std::string& name);
    // Takes ownership of an object made at run time.
    void addObject(std::unique_ptr<StoredObject> object);
    int objectCount() const { return static_cast<int>(objects_.size()); }
    StoredObject* objectAt(int index) const;
    // Forgets header and directory: held objects stay and are found by name, others are lost.
    void releaseDirectory();
    // For a package whose directory has been released: the held object of that name, or else
    // the one read from the file, whose directory is read again for it; the new object joins
    // the held ones. None when the file has no such object. With a directory, getObject.
    StoredObject* getReleasedObject(const std::string& name);

    const std::string& fileName() const { return fileName_; }
    const std::string& filePath() const { return filePath_; }
    bool hasDirectory() const { return directory_ != nullptr; }
    const std::vector<DirectoryEntry>* directory() const { return directory_.get(); }

  protected:
    void setFileName(const std::string& name) { fileName_ = name; }
    // For records whose object was made but could not read its data.
    void logUnreadableRecord(const std::string& name) const;
    // Stores an object the screen built itself, whatever its name (a widget from an unnamed
    // section still takes its place on the screen).
    void appendObject(std::unique_ptr<StoredObject> object) {
        objects_.push_back(std::move(object));
    }

  private:
    static constexpr std::int32_t beingRead = -2;

    // Header and directory from the stream's start; false for a short read or a wrong magic.
    bool readDirectory(std::istream& in, PackageHeader& header,
                       std::vector<DirectoryEntry>& directory) const;
    // Binary search of `directory`, reading names from `file` (opened at need) as they are
    // needed. The entry's position, -1 when there is none, -2 when a name could not be read.
    int findEntry(std::vector<DirectoryEntry>& directory, const std::string& name,
                  std::ifstream& file);
    bool loadEntry(std::istream& in, DirectoryEntry& entry);
    bool readEntryName(std::istream& in, DirectoryEntry& entry);
    int findRunTimeObject(const std::string& name) const;

    std::string fileName_;
    std::string filePath_;
    std::vector<std::unique_ptr<StoredObject>> objects_;
    std::unique_ptr<std::vector<DirectoryEntry>> directory_;
    std::unique_ptr<PackageHeader> header_;
};
