// Writing the game's binary formats: fixed-width little-endian values appended to a byte array.
// Used by the package writer, the mesh and texture encoders, map objects and the asset generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class ByteWriter {
  public:
    void u8(std::uint8_t value) { bytes.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value & 0xff));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value & 0xffff));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void f32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void append(const void* data, std::size_t count) {
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), first, first + count);
    }
    // The characters of `chars`, without its terminator.
    void text(const char* chars) { append(chars, std::strlen(chars)); }

    std::vector<std::uint8_t> bytes;
};
