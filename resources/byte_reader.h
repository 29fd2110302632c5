// Reading the game's binary formats (packages, map records, meshes, images, sounds): fixed-width
// little-endian values, from memory or from a stream, and the one check every reader makes before
// it allocates what a file asks for: that the stream still holds that many bytes. A hostile file
// may ask for anything; nothing is allocated beyond what it really holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>
#include <vector>

// Little-endian values at `bytes`.
std::uint16_t loadU16(const std::uint8_t* bytes);
std::uint32_t loadU32(const std::uint8_t* bytes);
float loadF32(const std::uint8_t* bytes);

class ByteReader {
  public:
    // What remaining() says of a stream that cannot tell (one that does not seek).
    static constexpr std::uint64_t unknownSize = std::numeric_limits<std::uint64_t>::max();

    explicit ByteReader(std::istream& in) : in_(in) {}

    // Exactly `count` bytes into `buffer`; false for a short read.
    bool read(void* buffer, std::size_t count);
    bool u8(std::uint8_t& value);
    bool u16(std::uint16_t& value);
    bool u32(std::uint32_t& value);
    bool i32(std::int32_t& value);
    bool f32(float& value);
    // Skips `count` bytes, which must all be there.
    bool skip(std::uint64_t count);

    // The bytes the stream can still deliver from its position (which it keeps), or
    // unknownSize; none for a stream that has failed.
    std::uint64_t remaining();
    // The guard before an allocation sized by the file: false when the stream is known to hold
    // fewer than `count` more bytes. A stream that cannot tell is taken at its word.
    bool holds(std::uint64_t count);
    // Exactly `count` bytes into `bytes` (replacing its contents), after the guard. The buffer
    // grows a piece at a time, so a stream that cannot tell its size still never makes it larger
    // than what actually arrives plus one piece.
    bool readBytes(std::vector<std::uint8_t>& bytes, std::uint64_t count);

  private:
    std::istream& in_;
};
