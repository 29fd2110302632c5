#include "support/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace testing_support {

namespace {

void removeTree(const std::string& path) {
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        // Leftovers in /tmp are harmless.
    }
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
        previous_ = buffer.data();
    }
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tintfall-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch directory");
    }
    path_ = name.data();
    if (chdir(path_.c_str()) != 0) {
        throw std::runtime_error("cannot enter the scratch directory");
    }
}

ScratchDirectory::~ScratchDirectory() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        // Nothing better to do in a destructor.
    }
    removeTree(path_);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

void makeDirectory(const std::string& path) {
    mkdir(path.c_str(), 0755);
}

}  // namespace testing_support
