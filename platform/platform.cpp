#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <thread>
#include <vector>

namespace platform {

namespace {

// Where the player's own files go; empty for the game folder.
std::string userFolder;
// The first component of a game path that names one of the player's own files.
const char* const userFileNames[] = {"settings.ini", "players.ini", "debug.log", "saves"};

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

void sleepMilliseconds(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "00000000-000000";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    }
    return text;
}

void lowerThreadPriority() {
    // On Linux a nice value set for one thread id is that thread's own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
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
    std::size_t first = 0;
    if (!userFolder.empty()) {
        // ".\debug.log" is the log, "saves\x.txt" a saved game.
        while (first + 1 < components.size() && components[first] == ".") {
            ++first;
        }
        bool own = false;
        for (const char* name : userFileNames) {
            own = own || namesEqualIgnoringCase(components[first], name);
        }
        if (own) {
            result = userFolder;
        } else {
            first = 0;
        }
    }
    for (std::size_t i = first; i < components.size(); ++i) {
        const std::string& component = components[i];
        if (i > 0 || !result.empty()) {
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

std::string absolutePath(const std::string& gamePath) {
    char* resolved = ::realpath(nativePath(gamePath).c_str(), nullptr);
    if (resolved == nullptr) {
        return "";
    }
    std::string path = resolved;
    std::free(resolved);
    return path;
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

void setUserFolder(const std::string& nativeFolder) {
    userFolder = nativeFolder;
    while (userFolder.size() > 1 && userFolder.back() == '/') {
        userFolder.pop_back();
    }
}

namespace {

// Makes one native directory; true when it is there afterwards, made now or before.
bool makeNativeDirectory(const std::string& path, mode_t mode) {
    struct stat info {};
    return ::mkdir(path.c_str(), mode) == 0 ||
           (errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

// Makes a native directory and the ones above it that are missing, for the player alone.
bool makeNativeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (!makeNativeDirectory(path.substr(0, slash), 0700)) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

}  // namespace

std::string useUserFolderWhenInstalled() {
    if (fileKind("installed.ini") != FileKind::regular) {
        return "";
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string folder;
    // A relative XDG_CONFIG_HOME is not to be trusted: the desktops ignore it, so do we.
    if (config != nullptr && config[0] == '/') {
        folder = std::string(config) + "/tintfall";
    } else if (home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.config/tintfall";
    } else {
        // Nowhere to keep anything: the game still plays, and writes nothing into the install.
        folder = "/nonexistent/tintfall";
    }
    if (makeNativeDirectories(folder)) {
        for (const char* name : {"settings.ini", "players.ini"}) {
            const std::string copy = folder + "/" + name;
            if (kindOfNative(copy) == FileKind::missing && fileKind(name) == FileKind::regular) {
                replaceFile(copy, readNativeFile(nativePath(name)));
            }
        }
    }
    setUserFolder(folder);
    return folder;
}

std::string readNativeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool makeDirectory(const std::string& gamePath) {
    return makeNativeDirectory(nativePath(gamePath), 0777);
}

namespace {

bool writeAll(int fd, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a rename in the directory of `path` last; where the system cannot, the rename stands
// all the same.
void syncDirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool replaceFile(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".new";
    // Whatever stands under the temporary name goes first: the rest of a save that was cut
    // short, or a pipe, which would block the write for good.
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // On disk before the rename: otherwise a crash of the system could leave the new name on
    // an empty file.
    bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
        syncDirectoryOf(path);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace platform
