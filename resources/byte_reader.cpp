#include "resources/byte_reader.h"

#include <algorithm>
#include <cstring>

std::uint16_t loadU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t loadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

float loadF32(const std::uint8_t* bytes) {
    const std::uint32_t bits = loadU32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool ByteReader::read(void* buffer, std::size_t count) {
    in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in_.gcount()) == count && !in_.fail();
}

bool ByteReader::u8(std::uint8_t& value) {
    return read(&value, 1);
}

bool ByteReader::u16(std::uint16_t& value) {
    std::uint8_t bytes[2];
    if (!read(bytes, sizeof bytes)) {
        return false;
    }
    value = loadU16(bytes);
    return true;
}

bool ByteReader::u32(std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (!read(bytes, sizeof bytes)) {
        return false;
    }
    value = loadU32(bytes);
    return true;
}

bool ByteReader::i32(std::int32_t& value) {
    std::uint32_t bits = 0;
    if (!u32(bits)) {
        return false;
    }
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool ByteReader::f32(float& value) {
    std::uint8_t bytes[4];
    if (!read(bytes, sizeof bytes)) {
        return false;
    }
    value = loadF32(bytes);
    return true;
}

bool ByteReader::skip(std::uint64_t count) {
    while (count > 0) {
        const std::uint64_t step = std::min<std::uint64_t>(count, std::uint64_t{1} << 30);
        in_.ignore(static_cast<std::streamsize>(step));
        if (static_cast<std::uint64_t>(in_.gcount()) != step) {
            return false;
        }
        count -= step;
    }
    return true;
}

std::uint64_t ByteReader::remaining() {
    if (!in_) {
        return 0;
    }
    const std::streampos here = in_.tellg();
    if (here == std::streampos(-1)) {
        in_.clear();
        return unknownSize;
    }
    in_.seekg(0, std::ios::end);
    const std::streampos end = in_.tellg();
    in_.clear();
    in_.seekg(here);
    if (end == std::streampos(-1) || !in_) {
        in_.clear();
        in_.seekg(here);
        return unknownSize;
    }
    return end > here ? static_cast<std::uint64_t>(end - here) : 0;
}

bool ByteReader::holds(std::uint64_t count) {
    const std::uint64_t left = remaining();
    return left == unknownSize || count <= left;
}

bool ByteReader::readBytes(std::vector<std::uint8_t>& bytes, std::uint64_t count) {
    constexpr std::uint64_t piece = std::uint64_t{1} << 16;
    bytes.clear();
    if (!holds(count) || count > std::numeric_limits<std::size_t>::max() / 2) {
        return false;
    }
    while (bytes.size() < count) {
        const std::size_t step = static_cast<std::size_t>(std::min(piece, count - bytes.size()));
        const std::size_t start = bytes.size();
        bytes.resize(start + step);
        if (!read(bytes.data() + start, step)) {
            bytes.clear();
            bytes.shrink_to_fit();
            return false;
        }
    }
    return true;
}
