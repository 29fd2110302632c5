// Byte images of files for the tests: one little-endian writer (fields written one by one, so a
// test can also write them wrong on purpose), pictures with a known pattern, files made from
// them by ImageMagick during the run, and BMP files built by hand.
#pragma once

#include <cstring>

#include "resources/image_readers.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
  public:
    ByteWriter& u8(unsigned value) { return text(std::string(1, static_cast<char>(value))); }
    ByteWriter& u16(unsigned value) { return u8(value & 0xFF).u8((value >> 8) & 0xFF); }
    ByteWriter& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    ByteWriter& f32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return u32(bits);
    }
    ByteWriter& text(const std::string& value) {
        bytes_ += value;
        return *this;
    }
    ByteWriter& append(const Bytes& value) { return text(std::string(value.begin(), value.end())); }
    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

inline Bytes toBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A picture of `width` columns at `depth` bits as the game's own texture file.
inline Bytes encodeTxf(unsigned width, unsigned depth, const Bytes& pixels) {
    const auto height = unsigned(pixels.size() / (depth / 8) / width);
    return image_readers::encodeTxf({width, height, depth, pixels});
}

// `file` with a 32-bit field at byte `at` overwritten.
inline std::string patch32(std::string file, std::size_t at, std::uint32_t value) {
    return file.replace(at, 4, ByteWriter().u32(value).bytes());
}

// A width x height picture, rows top to bottom, every pixel a different colour (R, G, B and,
// with alpha, an A that varies too).
Bytes testPattern(unsigned width, unsigned height, bool alpha);

// The same rows in the opposite order: a picture's top-first rows become the bottom-first rows
// that the BMP reader produces.
Bytes flipRows(const Bytes& pixels, unsigned width, unsigned height, unsigned bytesPerPixel);

// Runs ImageMagick's convert with the given arguments; true when it succeeded.
bool runConvert(const std::string& arguments);

// Makes `target` (for instance "BMP3:x.bmp", with `options` before it) from a picture; true when
// convert succeeded.
bool convertPicture(unsigned width, unsigned height, bool alpha, const Bytes& pixels,
                    const std::string& options, const std::string& target);

// A BMP file with a 40-byte header written by hand. `pixels` are rows bottom first, R, G, B(, A)
// per pixel; rows are padded to 4 bytes in the file, and written top row first when `topDown`
// (the height is then stored negative).
Bytes makeBmp(unsigned width, unsigned height, unsigned bitsPerPixel, const Bytes& pixels,
              bool topDown = false);

}  // namespace testing_support
