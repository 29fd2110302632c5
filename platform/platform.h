// The one place that talks to the operating system: name comparison, the millisecond clock and
// sleep, and files named the way the game's data names them ("Menus\controller.ini").
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace platform {

// Equality of two names ignoring ASCII letter case; file, section and key names compare this way.
bool namesEqualIgnoringCase(const std::string& a, const std::string& b);

// Milliseconds from an arbitrary fixed point; wraps like the system clock it stands for.
std::uint32_t milliseconds();
// Lets the calling thread sleep for `ms` milliseconds.
void sleepMilliseconds(std::uint32_t ms);
// Gives the calling thread a lower scheduling priority than the program's other threads, so it
// takes only the processor time they leave (best effort; nothing happens where not allowed).
void lowerThreadPriority();

// The local date and time as "YYYYMMDD-HHMMSS".
std::string localTimeStamp();

// Turns a path written with backslashes into a native one. Backslashes become slashes, and a
// component that does not exist with its exact letter case is replaced by the one entry of its
// directory that matches ignoring case, because the game's data treats names case-insensitively.
// Components that match nothing are kept as written (so a file can still be created).
std::string nativePath(const std::string& gamePath);

// The absolute native path of what a game path names; empty when it is not there.
std::string absolutePath(const std::string& gamePath);

// What a name of the game's data stands for: nothing, a file to read (or a link to one), or
// something else: a directory, a pipe that would block its reader for good, a device that never
// ends.
enum class FileKind { missing, regular, other };
FileKind fileKind(const std::string& gamePath);

// Opens a file named the game's way; only a regular file opens. Check the stream's state for
// failure.
std::ifstream openInput(const std::string& gamePath, bool binary);
std::ofstream openOutput(const std::string& gamePath, bool binary, bool append);

// The whole contents of the file at a native path; empty when it cannot be read.
std::string readNativeFile(const std::string& path);

// Makes the directory a game path names, its parent existing already. True when the directory
// is there afterwards.
bool makeDirectory(const std::string& gamePath);

// An installed game keeps the player's own files (settings.ini, players.ini, debug.log and the
// saved games in "saves") in the player's folder, never in the install: a file "installed.ini"
// in the game folder marks such a game. Its folder is $XDG_CONFIG_HOME/tintfall, or
// ~/.config/tintfall; it is made, given copies of the game folder's settings.ini and
// players.ini when it has none, and from then on every game path naming one of those files
// leads there. The folder used, or empty for a game that is not installed. Called once, first.
std::string useUserFolderWhenInstalled();
// Sends the player's own files to `nativeFolder` (empty: the game folder, as before).
void setUserFolder(const std::string& nativeFolder);

// Replaces the file at a native path with `contents` so that, whenever the program stops, the
// file is the old one or the new one, whole: the text goes to `path` + ".new" first, reaches the
// disk, and is renamed over the file. A temporary left by an earlier save is replaced. False,
// with the old file untouched and no temporary left, when any step fails.
bool replaceFile(const std::string& path, const std::string& contents);

}  // namespace platform
