// Feeds arbitrary bytes to the package reader as a map package, eagerly and lazily, and looks
// objects up by name.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "menus/object_types.h"
#include "resources/map.h"

namespace {

// A screen whose records become whatever the object factory makes of them.
class FuzzMap : public Map {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    installObjectTypes();
    const std::string path = "fuzz-" + std::to_string(getpid()) + ".map";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        FuzzMap eager;
        eager.load(path, true);
        eager.getObject("a");
    }
    {
        FuzzMap lazy;
        if (lazy.load(path, false)) {
            lazy.getObject("a");
            lazy.getObject("Title");
            lazy.getObject("");
            lazy.loadRemaining();
            lazy.releaseDirectory();
            lazy.getObject("a");
        }
    }
    unlink(path.c_str());
    unlink("debug.log");
    return 0;
}
