// Sound files for the audio tests: real WAVs made by sox in the working directory, and a way
// to find a WAV's data chunk without the game's own reader.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace audio_files {

// Runs sox (no dither, so the bytes are reproducible) to synthesise `seconds` of `wave` into
// `file` with the given rate, channel count, sample size and encoding.
inline bool makeWav(const std::string& file, int rate, int channelCount, int bits,
                    const std::string& encoding, const std::string& wave, double seconds = 0.25) {
    const std::string command = "sox -D -n -r " + std::to_string(rate) + " -c " +
                                std::to_string(channelCount) + " -b " + std::to_string(bits) +
                                " -e " + encoding + " '" + file + "' synth " +
                                std::to_string(seconds) + " " + wave + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// The output format itself: 22050 Hz, signed 16-bit, stereo.
inline bool makeOutputFormatWav(const std::string& file, const std::string& wave,
                                double seconds = 0.25) {
    return makeWav(file, 22050, 2, 16, "signed-integer", wave, seconds);
}

inline std::uint32_t le32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

// The bytes of the first "data" chunk of a well-formed WAV file.
inline std::string dataChunk(const std::string& file) {
    const std::string bytes = testing_support::readFile(file);
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t length = le32(bytes, at + 4);
        if (bytes.compare(at, 4, "data") == 0) {
            return bytes.substr(at + 8, length);
        }
        at += 8 + length + (length & 1);
    }
    return {};
}

inline std::vector<std::int16_t> toSamples(const std::uint8_t* bytes, std::size_t length) {
    std::vector<std::int16_t> samples(length / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return samples;
}

}  // namespace audio_files
