// The game's only diagnostic channel: text appended to ".\debug.log" in the working directory.
// Nothing adds timestamps or line feeds; a message is exactly what its writer composes.
//
// The plain writers open, append and close for each piece, so everything written before a crash
// is on disk. The stream form `debugLog << ...` leaves the file open between pieces of one
// message; a chain ends with `endLine` (a line feed, then close) or `closing(text)`.
// Every piece is written whole under one lock: the computer player's worker logs too.
#pragma once

#include <string>

void logText(const char* text);
void logString(const std::string& text);
void logInt(int value);
void logNewline();

// Marks for the stream form.
struct LogLineFeed {};   // "\n", file stays open
struct LogEndLine {};    // "\n", then the file is closed
struct LogClosingText {  // the text, then the file is closed
    const char* text;
};

inline constexpr LogLineFeed lineFeed{};
inline constexpr LogEndLine endLine{};
inline LogClosingText closing(const char* text) {
    return LogClosingText{text};
}

class DebugLog {
  public:
    const DebugLog& operator<<(const char* text) const;
    const DebugLog& operator<<(const std::string& text) const;
    const DebugLog& operator<<(int value) const;
    const DebugLog& operator<<(LogLineFeed) const;
    void operator<<(LogEndLine) const;
    void operator<<(LogClosingText text) const;
};

// Every instance shares the one file stream; this one is for everybody's use.
inline constexpr DebugLog debugLog{};

// Where the log goes: ".\debug.log" unless a test points it elsewhere. Closes the file first.
void setDebugLogPath(const std::string& gamePath);
