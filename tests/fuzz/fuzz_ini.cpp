// Feeds arbitrary bytes to the ini reader, then looks every section up and writes it back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "resources/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "fuzz-" + std::to_string(getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    IniFile ini(path);
    for (int i = 0; i < ini.sectionCount(); ++i) {
        ini.getInt(i, ini.sectionName(i), 0);
        ini.getFloat(ini.sectionName(i), "width", 0.0);
    }
    ini.setString("resolution", "width", "1024");
    ini.save();
    IniFile again(path);
    unlink(path.c_str());
    return 0;
}
