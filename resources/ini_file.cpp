#include "resources/ini_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/debug_log.h"
#include "platform/platform.h"

namespace {

// Whitespace of key/value lines: so LF and CR LF files read the same.
bool isLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whitespace as the header scan sees it.
bool isHeaderSpace(char c) {
    return isLineSpace(c) || c == '\v' || c == '\f';
}

// Bytes no text file holds: a file with them is something else under an ini file's name.
bool isBinaryByte(int c) {
    return (c >= 0 && c < 0x20 && !isHeaderSpace(static_cast<char>(c))) || c == 0x7f;
}

void logSkippedLine(const std::string& fileName, int lineNumber, const char* what) {
    debugLog << "Ini file '" << fileName << "', line " << lineNumber << ": " << what
             << " too long, line skipped" << endLine;
}

}  // namespace

int iniToInt(const std::string& text) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

double iniToFloat(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

IniFile::IniFile(const std::string& fileName) : fileName_(fileName) {
    // A file that is not there reads as empty without a word: settings.ini and players.ini are
    // optional. One that is there but cannot be read is named.
    if (platform::fileKind(fileName_) == platform::FileKind::missing) {
        return;
    }
    std::ifstream in = platform::openInput(fileName_, true);
    if (!in.is_open()) {
        debugLog << "Unable to read ini file '" << fileName_ << closing("'\n");
        return;
    }
    read(in);
}

IniFile::IniFile(const std::string& fileName, std::istream& in) : fileName_(fileName) {
    read(in);
}

void IniFile::read(std::istream& in) {
    std::string line;
    int lineNumber = 0;
    int firstBinaryLine = 0;
    while (in.peek() != std::char_traits<char>::eof()) {
        ++lineNumber;
        line.clear();
        bool tooLong = false;
        int c;
        // One line, never holding more than the limit however long the line in the file is.
        while ((c = in.get()) != std::char_traits<char>::eof() && c != '\n') {
            if (firstBinaryLine == 0 && isBinaryByte(c)) {
                firstBinaryLine = lineNumber;
            }
            if (line.size() < maxLineLength) {
                line += static_cast<char>(c);
            } else {
                tooLong = true;
            }
        }
        if (tooLong) {
            logSkippedLine(fileName_, lineNumber, "line");
            continue;
        }
        // Text after a zero byte is not part of the line, as for any C string.
        const std::size_t zero = line.find('\0');
        if (zero != std::string::npos) {
            line.resize(zero);
        }
        parseLine(line, lineNumber);
    }
    if (in.bad()) {
        debugLog << "Unable to read ini file '" << fileName_ << closing("'\n");
    } else if (firstBinaryLine != 0) {
        debugLog << "Ini file '" << fileName_ << "' is not text (line " << firstBinaryLine << ")"
                 << endLine;
    } else if (firstUnclosedQuote_ != 0) {
        // The line about the value itself cannot say where it stands.
        debugLog << "Ini file '" << fileName_ << "', line " << firstUnclosedQuote_
                 << ": a quote is not closed" << endLine;
    }
}

void IniFile::parseLine(const std::string& line, int lineNumber) {
    std::size_t pos = 0;
    while (pos < line.size() && isHeaderSpace(line[pos])) {
        ++pos;
    }
    if (pos < line.size() && line[pos] == '[') {
        std::size_t start = pos + 1;
        while (start < line.size() && isHeaderSpace(line[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < line.size() && !isHeaderSpace(line[end])) {
            ++end;
        }
        if (end > start) {
            std::string name = line.substr(start, end - start);
            if (name.back() == ']') {
                name.pop_back();
            }
            if (name.size() > maxNameLength) {
                logSkippedLine(fileName_, lineNumber, "section name");
                return;
            }
            sections_.push_back(IniSection{name, {}});
            return;
        }
    }

    // Key/value line.
    pos = 0;
    while (pos < line.size() && isLineSpace(line[pos])) {
        ++pos;
    }
    const std::size_t equals = line.find('=', pos);
    if (equals == std::string::npos) {
        return;
    }
    std::size_t keyEnd = equals;
    while (keyEnd > pos && isLineSpace(line[keyEnd - 1])) {
        --keyEnd;
    }
    if (keyEnd == pos) {
        return;
    }
    const std::string key = line.substr(pos, keyEnd - pos);

    std::size_t valueStart = equals + 1;
    while (valueStart < line.size() && isLineSpace(line[valueStart])) {
        ++valueStart;
    }
    std::string value;
    if (valueStart < line.size() && line[valueStart] == '"') {
        const std::size_t closingQuote = line.find('"', valueStart + 1);
        if (closingQuote == std::string::npos) {
            std::string rest = line.substr(valueStart + 1);
            while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n')) {
                rest.pop_back();
            }
            debugLog << "Invalid ini option '" << rest << closing("'. trailing \" expected\n");
            if (firstUnclosedQuote_ == 0) {
                firstUnclosedQuote_ = lineNumber;
            }
        } else {
            value = line.substr(valueStart + 1, closingQuote - valueStart - 1);
        }
    } else if (valueStart < line.size()) {
        std::size_t valueEnd = line.size();
        while (valueEnd > valueStart && isLineSpace(line[valueEnd - 1])) {
            --valueEnd;
        }
        value = line.substr(valueStart, valueEnd - valueStart);
    }

    if (key.size() > maxNameLength) {
        logSkippedLine(fileName_, lineNumber, "key");
        return;
    }
    if (value.size() > maxValueLength) {
        logSkippedLine(fileName_, lineNumber, "value");
        return;
    }
    // A key before any section header has nowhere to go.
    if (sections_.empty()) {
        return;
    }
    sections_.back().entries.push_back(IniEntry{key, value});
}

std::string IniFile::sectionName(int sectionIndex) const {
    if (sectionIndex < 0 || sectionIndex >= sectionCount()) {
        return std::string();
    }
    return sections_[static_cast<std::size_t>(sectionIndex)].name;
}

const IniEntry* IniFile::findEntry(int sectionIndex, const std::string& key) const {
    if (sectionIndex < 0 || sectionIndex >= sectionCount()) {
        return nullptr;
    }
    for (const IniEntry& entry : sections_[static_cast<std::size_t>(sectionIndex)].entries) {
        if (platform::namesEqualIgnoringCase(entry.key, key)) {
            return &entry;
        }
    }
    return nullptr;
}

std::string IniFile::getString(int sectionIndex, const std::string& key,
                               const std::string& defaultValue) const {
    const IniEntry* entry = findEntry(sectionIndex, key);
    return entry != nullptr ? entry->value : defaultValue;
}

int IniFile::getInt(int sectionIndex, const std::string& key, int defaultValue) const {
    const IniEntry* entry = findEntry(sectionIndex, key);
    return entry != nullptr ? iniToInt(entry->value) : defaultValue;
}

double IniFile::getFloat(int sectionIndex, const std::string& key, double defaultValue) const {
    const IniEntry* entry = findEntry(sectionIndex, key);
    return entry != nullptr ? iniToFloat(entry->value) : defaultValue;
}

const IniEntry* IniFile::findByName(const std::string& sectionName, const std::string& key) const {
    for (const IniSection& section : sections_) {
        if (platform::namesEqualIgnoringCase(section.name, sectionName)) {
            for (const IniEntry& entry : section.entries) {
                if (platform::namesEqualIgnoringCase(entry.key, key)) {
                    return &entry;
                }
            }
            // Only the first section of a name is looked at.
            return nullptr;
        }
    }
    return nullptr;
}

IniEntry* IniFile::findOrCreateEntry(const std::string& sectionName, const std::string& key,
                                     bool create) {
    for (IniSection& section : sections_) {
        if (platform::namesEqualIgnoringCase(section.name, sectionName)) {
            for (IniEntry& entry : section.entries) {
                if (platform::namesEqualIgnoringCase(entry.key, key)) {
                    return &entry;
                }
            }
            if (!create) {
                return nullptr;
            }
            section.entries.push_back(IniEntry{key, std::string()});
            return &section.entries.back();
        }
    }
    if (!create) {
        return nullptr;
    }
    sections_.push_back(IniSection{sectionName, {IniEntry{key, std::string()}}});
    return &sections_.back().entries.back();
}

std::string IniFile::getString(const std::string& sectionName, const std::string& key,
                               const std::string& defaultValue) const {
    const IniEntry* entry = findByName(sectionName, key);
    return entry != nullptr ? entry->value : defaultValue;
}

int IniFile::getInt(const std::string& sectionName, const std::string& key,
                    int defaultValue) const {
    const IniEntry* entry = findByName(sectionName, key);
    return entry != nullptr ? iniToInt(entry->value) : defaultValue;
}

double IniFile::getFloat(const std::string& sectionName, const std::string& key,
                         double defaultValue) const {
    const IniEntry* entry = findByName(sectionName, key);
    return entry != nullptr ? iniToFloat(entry->value) : defaultValue;
}

void IniFile::setString(const std::string& sectionName, const std::string& key,
                        const std::string& value) {
    findOrCreateEntry(sectionName, key, true)->value = value;
}

bool IniFile::save() const {
    // Written beside the file and renamed over it: a save cut short, by a failure or by the
    // program being killed, never leaves a part of a file behind.
    std::string text;
    for (const IniSection& section : sections_) {
        text += '[' + section.name + "]\n";
        for (const IniEntry& entry : section.entries) {
            text += entry.key + " = \"" + entry.value + "\"\n";
        }
    }
    if (platform::replaceFile(platform::nativePath(fileName_), text)) {
        return true;
    }
    debugLog << "Unable to write ini file '" << fileName_ << closing("'\n");
    return false;
}

std::string objectNameOfSection(const std::string& sectionName) {
    std::string name = sectionName;
    const std::size_t slash = name.find_last_of('\\');
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}
