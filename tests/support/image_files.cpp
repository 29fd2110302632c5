#include "support/image_files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace testing_support {

Bytes testPattern(unsigned width, unsigned height, bool alpha) {
    Bytes pixels;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned i = y * width + x;
            pixels.push_back(static_cast<std::uint8_t>(17 * x + 3));
            pixels.push_back(static_cast<std::uint8_t>(41 * y + 7));
            pixels.push_back(static_cast<std::uint8_t>(255 - 13 * i));
            if (alpha) {
                pixels.push_back(static_cast<std::uint8_t>(60 + 11 * i));
            }
        }
    }
    return pixels;
}

Bytes flipRows(const Bytes& pixels, unsigned width, unsigned height, unsigned bytesPerPixel) {
    Bytes flipped;
    const std::size_t row = std::size_t{width} * bytesPerPixel;
    for (unsigned y = height; y-- > 0;) {
        flipped.insert(flipped.end(), pixels.begin() + y * row, pixels.begin() + (y + 1) * row);
    }
    return flipped;
}

void writePam(const std::string& path, unsigned width, unsigned height, bool alpha,
              const Bytes& pixels) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "P7\nWIDTH " << width << "\nHEIGHT " << height << "\nDEPTH " << (alpha ? 4 : 3)
        << "\nMAXVAL 255\nTUPLTYPE " << (alpha ? "RGB_ALPHA" : "RGB") << "\nENDHDR\n";
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
}

bool runConvert(const std::string& arguments) {
    const std::string command = "convert " + arguments;
    return std::system(command.c_str()) == 0;
}

bool convertPicture(unsigned width, unsigned height, bool alpha, const Bytes& pixels,
                    const std::string& options, const std::string& target) {
    writePam("picture.pam", width, height, alpha, pixels);
    return runConvert("picture.pam " + options + " " + target);
}

Bytes toBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string toString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void set16(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void set32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    set16(bytes, offset, value & 0xFFFF);
    set16(bytes, offset + 2, value >> 16);
}

Bytes makeBmp(unsigned width, unsigned height, unsigned bitsPerPixel, const Bytes& pixels,
              bool topDown) {
    const unsigned bytesPerPixel = bitsPerPixel / 8;
    const unsigned stride = (width * bytesPerPixel + 3) & ~3u;
    Bytes data;
    for (unsigned r = 0; r < height; ++r) {
        const unsigned row = topDown ? height - 1 - r : r;
        for (unsigned x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels.data() + (std::size_t{row} * width + x) * bytesPerPixel;
            data.push_back(p[2]);
            data.push_back(p[1]);
            data.push_back(p[0]);
            if (bytesPerPixel == 4) {
                data.push_back(p[3]);
            }
        }
        data.resize(std::size_t{r + 1} * stride, 0);
    }
    Bytes file = {'B', 'M'};
    put32(file, static_cast<std::uint32_t>(54 + data.size()));
    put32(file, 0);
    put32(file, 54);
    put32(file, 40);
    put32(file, width);
    put32(file, topDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)) : height);
    put16(file, 1);
    put16(file, bitsPerPixel);
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(data.size()));
    put32(file, 2835);
    put32(file, 2835);
    put32(file, 0);
    put32(file, 0);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

}  // namespace testing_support
