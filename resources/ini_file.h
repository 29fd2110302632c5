// An ini document held whole in memory: an ordered list of sections, each an ordered list of
// key/value texts. Every configuration and screen description of the game is read, edited and
// written back through it. Names and keys match ignoring case; the first match wins; duplicates
// are kept and written back.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct IniEntry {
    std::string key;
    std::string value;
};

struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;
};

class IniFile {
  public:
    // Longest line, section name or key, and value the reader accepts; longer ones are skipped
    // whole, with a line in the debug log.
    static constexpr std::size_t maxLineLength = 1023;
    static constexpr std::size_t maxNameLength = 255;
    static constexpr std::size_t maxValueLength = 511;

    // Reads the file; one that cannot be opened leaves the document empty, silently.
    explicit IniFile(const std::string& fileName);
    // Reads the document from `in` instead; `fileName` is where save writes it.
    IniFile(const std::string& fileName, std::istream& in);

    const std::string& fileName() const { return fileName_; }

    int sectionCount() const { return static_cast<int>(sections_.size()); }
    // Empty for an index out of range.
    std::string sectionName(int sectionIndex) const;

    const IniEntry* findEntry(int sectionIndex, const std::string& key) const;
    std::string getString(int sectionIndex, const std::string& key,
                          const std::string& defaultValue) const;
    int getInt(int sectionIndex, const std::string& key, int defaultValue) const;
    double getFloat(int sectionIndex, const std::string& key, double defaultValue) const;

    // The first matching entry of the first section of that name. With `create`, a missing
    // section is appended holding only (key, ""), and a missing key is appended to the section.
    IniEntry* findOrCreateEntry(const std::string& sectionName, const std::string& key,
                                bool create);
    std::string getString(const std::string& sectionName, const std::string& key,
                          const std::string& defaultValue) const;
    int getInt(const std::string& sectionName, const std::string& key, int defaultValue) const;
    double getFloat(const std::string& sectionName, const std::string& key,
                    double defaultValue) const;

    void setString(const std::string& sectionName, const std::string& key,
                   const std::string& value);

    // Replaces the file with the document, every value quoted. The old file stays intact until
    // the new one is complete. False (and a line in the debug log) when it cannot be written.
    bool save() const;

    const std::vector<IniSection>& sections() const { return sections_; }

  private:
    void read(std::istream& in);
    void parseLine(const std::string& line, int lineNumber);
    const IniEntry* findByName(const std::string& sectionName, const std::string& key) const;

    std::string fileName_;
    int firstUnclosedQuote_ = 0;  // while reading
    std::vector<IniSection> sections_;
};

// The runtime's atoi and atof rules: leading whitespace, optional sign, digits up to the first
// character that does not fit, 0 when there are none. Integers saturate instead of overflowing.
int iniToInt(const std::string& text);
double iniToFloat(const std::string& text);

// A section name as the name of the object it describes (a widget, a board cell): without
// everything up to the last backslash and from the last dot on.
std::string objectNameOfSection(const std::string& sectionName);
