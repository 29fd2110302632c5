// Sound files for the audio tests: real WAVs made by sox in the working directory, and their
// samples found without the game's own reader.
#pragma once

#include <cstdint>
#include <cstring>

#include "support/test_support.h"

namespace audio_files {

// The output format itself, and one SDL converts with a length multiplier of 8.
const char* const outputFormat = "-r 22050 -c 2 -b 16 -e signed-integer";
const char* const mono8 = "-r 11025 -c 1 -b 8 -e unsigned-integer";

// Synthesises `seconds` of `wave` into `file` with sox (no dither: reproducible bytes).
inline bool makeWav(const std::string& file, const std::string& wave, double seconds = 0.25,
                    const std::string& format = outputFormat) {
    const std::string command = "sox -D -n " + format + " '" + file + "' synth " +
                                std::to_string(seconds) + " " + wave + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// The samples of a WAV written by sox: plain PCM behind a 44-byte header, "data" at byte 36.
inline std::string dataChunk(const std::string& file) {
    const std::string bytes = testing_support::readFile(file);
    std::uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 40, bytes.size() >= 44 ? 4 : 0);  // little-endian
    return bytes.compare(36, 4, "data") == 0 ? bytes.substr(44, length) : "";
}

}  // namespace audio_files
