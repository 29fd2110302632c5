// Test helpers for the image readers: known pixel patterns, files made from them by ImageMagick
// during the test run and hand-built BMP files for the cases ImageMagick never writes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// A width x height picture, rows top to bottom, every pixel a different colour (R, G, B and,
// with alpha, an A that varies too and is never 255 everywhere).
Bytes testPattern(unsigned width, unsigned height, bool alpha);

// The same rows in the opposite order: a picture's top-first rows become the bottom-first rows
// that the readers produce for BMP and bottom-left TGA files.
Bytes flipRows(const Bytes& pixels, unsigned width, unsigned height, unsigned bytesPerPixel);

// Writes a picture (top row first) as a PAM file ImageMagick can read.
void writePam(const std::string& path, unsigned width, unsigned height, bool alpha,
              const Bytes& pixels);

// Runs ImageMagick's convert with the given arguments; true when it succeeded.
bool runConvert(const std::string& arguments);

// Makes `target` (for instance "BMP3:x.bmp" plus options before it) from a picture through a
// PAM file; true when convert succeeded.
bool convertPicture(unsigned width, unsigned height, bool alpha, const Bytes& pixels,
                    const std::string& options, const std::string& target);

Bytes toBytes(const std::string& text);
std::string toString(const Bytes& bytes);

// Little-endian writers.
void put16(Bytes& out, std::uint32_t value);
void put32(Bytes& out, std::uint32_t value);
void set32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void set16(Bytes& bytes, std::size_t offset, std::uint32_t value);

// A BMP file with a 40-byte header written by hand. `pixels` are rows bottom first, R, G, B(, A)
// per pixel; rows are padded to 4 bytes in the file, and written top row first when `topDown`
// (the height is then stored negative).
Bytes makeBmp(unsigned width, unsigned height, unsigned bitsPerPixel, const Bytes& pixels,
              bool topDown = false);

}  // namespace testing_support
