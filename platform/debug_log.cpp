#include "platform/debug_log.h"

#include <fstream>
#include <mutex>

#include "platform/platform.h"

namespace {

struct LogFile {
    std::mutex mutex;
    std::ofstream stream;
    std::string path = ".\\debug.log";
};

LogFile& logFile() {
    static LogFile file;
    return file;
}

// Called with the lock held. A failed open loses the piece silently: logging never reports.
void writeLocked(LogFile& file, const char* text, std::size_t length, bool closeAfter) {
    if (!file.stream.is_open()) {
        file.stream.clear();
        file.stream.open(platform::nativePath(file.path), std::ios::out | std::ios::app);
    }
    if (file.stream.is_open()) {
        file.stream.write(text, static_cast<std::streamsize>(length));
        file.stream.flush();
    }
    if (closeAfter && file.stream.is_open()) {
        file.stream.close();
    }
}

void write(const char* text, std::size_t length, bool closeAfter) {
    LogFile& file = logFile();
    std::lock_guard<std::mutex> lock(file.mutex);
    writeLocked(file, text, length, closeAfter);
}

void write(const std::string& text, bool closeAfter) {
    write(text.data(), text.size(), closeAfter);
}

}  // namespace

void logText(const char* text) {
    if (text != nullptr) {
        write(std::string(text), true);
    }
}

void logString(const std::string& text) {
    write(text, true);
}

void logInt(int value) {
    write(std::to_string(value), true);
}

void logNewline() {
    write("\n", 1, true);
}

const DebugLog& DebugLog::operator<<(const char* text) const {
    if (text != nullptr) {
        write(std::string(text), false);
    }
    return *this;
}

const DebugLog& DebugLog::operator<<(const std::string& text) const {
    write(text, false);
    return *this;
}

const DebugLog& DebugLog::operator<<(int value) const {
    write(std::to_string(value), false);
    return *this;
}

const DebugLog& DebugLog::operator<<(LogLineFeed) const {
    write("\n", 1, false);
    return *this;
}

void DebugLog::operator<<(LogEndLine) const {
    write("\n", 1, true);
}

void DebugLog::operator<<(LogClosingText text) const {
    write(std::string(text.text != nullptr ? text.text : ""), true);
}

void setDebugLogPath(const std::string& gamePath) {
    LogFile& file = logFile();
    std::lock_guard<std::mutex> lock(file.mutex);
    if (file.stream.is_open()) {
        file.stream.close();
    }
    file.path = gamePath;
}
