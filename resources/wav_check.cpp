#include "resources/wav_check.h"

#include <climits>

#include "resources/byte_reader.h"

namespace {

bool tagIs(const std::uint8_t* p, const char* tag) {
    return p[0] == static_cast<std::uint8_t>(tag[0]) && p[1] == static_cast<std::uint8_t>(tag[1]) &&
           p[2] == static_cast<std::uint8_t>(tag[2]) && p[3] == static_cast<std::uint8_t>(tag[3]);
}

// A chunk id made printable for the log.
std::string tagText(const std::uint8_t* p) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(p[i]);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

WavCheck refuse(const std::string& problem) {
    WavCheck check;
    check.problem = problem;
    return check;
}

}  // namespace

WavCheck checkWav(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < 12) {
        return refuse("file too short for a RIFF header");
    }
    if (!tagIs(bytes, "RIFF") || !tagIs(bytes + 8, "WAVE")) {
        return refuse("not a RIFF WAVE file");
    }
    const std::uint64_t riffLength = loadU32(bytes + 4);
    if (riffLength < 4 || riffLength > size - 8) {
        return refuse("RIFF size does not match the file");
    }
    // Chunks must lie inside the RIFF chunk; anything after it is ignored.
    size = static_cast<std::size_t>(riffLength + 8);

    WavCheck check;
    bool haveFormat = false;
    std::size_t offset = 12;
    for (;;) {
        if (size - offset < 8) {
            return refuse(haveFormat ? "no data chunk" : "no fmt chunk");
        }
        const std::uint8_t* header = bytes + offset;
        const std::uint32_t chunkLength = loadU32(header + 4);
        if (chunkLength > size - offset - 8) {
            return refuse("'" + tagText(header) + "' chunk runs past the end of the file");
        }
        // SDL cannot read an empty chunk, and it does not skip the pad byte after an odd one,
        // so it would take the next header from the wrong place.
        if (chunkLength == 0) {
            return refuse("empty '" + tagText(header) + "' chunk");
        }
        const bool isData = haveFormat && tagIs(header, "data");
        if (!isData && chunkLength % 2 != 0) {
            return refuse("odd-sized '" + tagText(header) + "' chunk before the data");
        }
        const std::uint8_t* body = header + 8;

        if (!haveFormat) {
            // SDL's loader only skips these before the format chunk.
            if (tagIs(header, "fact") || tagIs(header, "LIST")) {
                offset += 8 + chunkLength;
                continue;
            }
            if (!tagIs(header, "fmt ")) {
                return refuse("first chunk is '" + tagText(header) + "', not 'fmt '");
            }
            if (chunkLength < 16) {
                return refuse("fmt chunk shorter than 16 bytes");
            }
            const std::uint16_t encoding = loadU16(body);
            if (encoding != 1) {
                return refuse("not plain PCM (format " + std::to_string(encoding) + ")");
            }
            check.channels = loadU16(body + 2);
            check.rate = loadU32(body + 4);
            const std::uint16_t blockAlign = loadU16(body + 12);
            check.bitsPerSample = loadU16(body + 14);
            if (check.channels != 1 && check.channels != 2) {
                return refuse(std::to_string(check.channels) + " channels (1 or 2 only)");
            }
            if (check.rate < WavLimits::minRate || check.rate > WavLimits::maxRate) {
                return refuse("sample rate " + std::to_string(check.rate) + " Hz out of range");
            }
            if (check.bitsPerSample != 8 && check.bitsPerSample != 16) {
                return refuse(std::to_string(check.bitsPerSample) +
                              " bits per sample (8 or 16 only)");
            }
            if (blockAlign != check.channels * (check.bitsPerSample / 8)) {
                return refuse("block align " + std::to_string(blockAlign) +
                              " does not fit the channels and sample size");
            }
            haveFormat = true;
        } else if (isData) {
            if (chunkLength <
                static_cast<std::uint32_t>(check.channels * (check.bitsPerSample / 8))) {
                return refuse("data chunk holds no whole sample");
            }
            check.dataOffset = offset + 8;
            check.dataLength = chunkLength;
            check.ok = true;
            return check;
        }
        offset += 8 + chunkLength;
    }
}

std::size_t conversionBufferSize(std::uint32_t length, int lengthMultiplier) {
    if (lengthMultiplier <= 0) {
        return 0;
    }
    const std::uint64_t bytes =
        static_cast<std::uint64_t>(length) * static_cast<std::uint64_t>(lengthMultiplier);
    if (bytes == 0 || bytes > static_cast<std::uint64_t>(INT_MAX)) {
        return 0;
    }
    return static_cast<std::size_t>(bytes);
}
