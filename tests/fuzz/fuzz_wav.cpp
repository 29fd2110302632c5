// Feeds arbitrary bytes to the WAV check; whatever it lets through is loaded and converted by
// SDL for real, so an accepted file that SDL mishandles shows up too.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "resources/audio_track.h"
#include "resources/wav_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const WavCheck check = checkWav(data, size);
    if (!check.ok) {
        return 0;
    }
    // What the check reports must lie inside the input.
    if (check.dataOffset > size || check.dataLength > size - check.dataOffset) {
        std::abort();
    }
    const std::string path = "fuzz-" + std::to_string(getpid()) + ".wav";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    AudioTrack track;
    if (track.loadFromFile(path) && track.length > 0 && track.samples == nullptr) {
        std::abort();
    }
    unlink(path.c_str());
    return 0;
}
