// Shared helpers for the tests: a scratch working directory per test, and file access.
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

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
bool fileExists(const std::string& path);
void makeDirectory(const std::string& path);

}  // namespace testing_support
