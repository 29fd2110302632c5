// Shared helpers for the tests: a scratch working directory for the tests of what reads and
// writes the working directory, the debug log caught without one, and file access.
#pragma once

#include <string>

namespace testing_support {

// Makes a fresh empty directory and makes it the working directory until destroyed, so
// debug.log, settings.ini and the like land there and nowhere else.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string previous_;
};

// Points the debug log at a file of its own while it lives, for the tests that need no working
// directory of their own.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged since it began (or was cleared).
    std::string text() const;
    void clear();

  private:
    std::string path_;
};

// Runs every test of the binary in a fresh scratch directory of its own (the test mains call
// it), so no test sees another's debug.log, settings.ini or players.ini.
void runEachTestInAScratchDirectory();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
bool fileExists(const std::string& path);
void makeDirectory(const std::string& path);

}  // namespace testing_support
