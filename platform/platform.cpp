#include "platform/platform.h"

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <vector>

namespace platform {

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of the directory `prefix` names ("" for the working directory, else ending in '/')
// whose name equals `name` ignoring case, or `name` itself when there is none.
std::string matchComponent(const std::string& prefix, const std::string& name) {
    if (exists(prefix + name)) {
        return name;
    }
    DIR* dir = ::opendir(prefix.empty() ? "." : prefix.c_str());
    if (dir == nullptr) {
        return name;
    }
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (namesEqualIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

bool namesEqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::uint32_t milliseconds() {
    using namespace std::chrono;
    const auto now =
        duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(now.count());
}

std::string nativePath(const std::string& gamePath) {
    std::vector<std::string> components;
    std::string current;
    for (char c : gamePath) {
        if (c == '\\' || c == '/') {
            components.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    components.push_back(current);

    std::string result;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        if (i > 0) {
            result += '/';
        }
        // "." and ".." and empty components (a leading or doubled separator) stay as written.
        if (component.empty() || component == "." || component == "..") {
            result += component;
        } else {
            result += matchComponent(result, component);
        }
    }
    return result;
}

namespace {

FileKind kindOfNative(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return FileKind::missing;
    }
    return S_ISREG(info.st_mode) ? FileKind::regular : FileKind::other;
}

}  // namespace

FileKind fileKind(const std::string& gamePath) {
    return kindOfNative(nativePath(gamePath));
}

std::ifstream openInput(const std::string& gamePath, bool binary) {
    const std::string path = nativePath(gamePath);
    if (kindOfNative(path) != FileKind::regular) {
        return std::ifstream();
    }
    std::ios::openmode mode = std::ios::in;
    if (binary) {
        mode |= std::ios::binary;
    }
    return std::ifstream(path, mode);
}

std::ofstream openOutput(const std::string& gamePath, bool binary, bool append) {
    std::ios::openmode mode = std::ios::out;
    mode |= append ? std::ios::app : std::ios::trunc;
    if (binary) {
        mode |= std::ios::binary;
    }
    return std::ofstream(nativePath(gamePath), mode);
}

}  // namespace platform
