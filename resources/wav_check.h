// Checks a WAV file's bytes before SDL's loader sees them. SDL 1.2 trusts the header: a short
// "fmt " chunk is read past its end, chunk sizes are allocated before they are read, compressed
// formats go through decoders with known overruns, and very low rates overflow its table of
// conversion steps. Only plain files it handles safely get through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct WavCheck {
    bool ok = false;
    std::string problem;  // why the file was refused; empty when ok
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataOffset = 0;  // file offset of the first sample byte
    std::uint32_t dataLength = 0;
};

struct WavLimits {
    static constexpr std::uint32_t minRate = 1000;
    static constexpr std::uint32_t maxRate = 192000;
};

// Walks the chunks the way SDL's loader does and refuses anything it could mishandle.
WavCheck checkWav(const std::uint8_t* bytes, std::size_t size);

// Bytes needed to convert `length` bytes in place with SDL's length multiplier, or 0 when the
// product does not fit SDL's int-sized buffer lengths.
std::size_t conversionBufferSize(std::uint32_t length, int lengthMultiplier);
