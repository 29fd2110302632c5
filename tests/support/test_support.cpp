#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/debug_log.h"

namespace testing_support {

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path().string()) {
    // temp_directory_path follows TMPDIR.
    std::string name = (std::filesystem::temp_directory_path() / "tintfall-test-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch directory");
    }
    path_ = name;
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    // Leftovers in /tmp would be harmless.
    std::filesystem::remove_all(path_, ignored);
}

namespace {

class ScratchDirectoryPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        scratch_ = std::make_unique<ScratchDirectory>();
    }
    void OnTestEnd(const ::testing::TestInfo&) override { scratch_.reset(); }
    std::unique_ptr<ScratchDirectory> scratch_;
};

}  // namespace

void runEachTestInAScratchDirectory() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScratchDirectoryPerTest);
}

LogCapture::LogCapture() {
    static int count = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("tintfall-log-" + std::to_string(getpid()) + "-" + std::to_string(++count)))
                .string();
    clear();
}

LogCapture::~LogCapture() {
    setDebugLogPath(".\\debug.log");
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::string LogCapture::text() const {
    return readFile(path_);
}

void LogCapture::clear() {
    setDebugLogPath(path_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
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
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

void makeDirectory(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directory(path, ignored);
}

}  // namespace testing_support
