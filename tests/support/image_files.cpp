#include "support/image_files.h"

#include <cstdlib>
#include <fstream>

namespace testing_support {

Bytes testPattern(unsigned width, unsigned height, bool alpha) {
    Bytes pixels;
    for (unsigned i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(),
                      {std::uint8_t(17 * (i % width) + 3), std::uint8_t(41 * (i / width) + 7),
                       std::uint8_t(255 - 13 * i)});
        if (alpha)
            pixels.push_back(std::uint8_t(60 + 11 * i));
    }
    return pixels;
}

Bytes flipRows(const Bytes& pixels, unsigned width, unsigned height, unsigned bytesPerPixel) {
    Bytes flipped;
    const std::size_t row = std::size_t{width} * bytesPerPixel;
    for (unsigned y = height; y-- > 0;)
        flipped.insert(flipped.end(), pixels.begin() + y * row, pixels.begin() + (y + 1) * row);
    return flipped;
}

bool runConvert(const std::string& arguments) {
    return std::system(("convert " + arguments).c_str()) == 0;
}

bool convertPicture(unsigned width, unsigned height, bool alpha, const Bytes& pixels,
                    const std::string& options, const std::string& target) {
    std::ofstream("picture.pam", std::ios::binary)
        << "P7\nWIDTH " << width << "\nHEIGHT " << height << "\nDEPTH " << (alpha ? 4 : 3)
        << "\nMAXVAL 255\nTUPLTYPE " << (alpha ? "RGB_ALPHA" : "RGB") << "\nENDHDR\n"
        << std::string(pixels.begin(), pixels.end());
    return runConvert("picture.pam " + options + " " + target);
}

Bytes makeBmp(unsigned width, unsigned height, unsigned bitsPerPixel, const Bytes& pixels,
              bool topDown) {
    const unsigned bytesPerPixel = bitsPerPixel / 8;
    ByteWriter data;
    for (unsigned r = 0; r < height; ++r) {
        const std::uint8_t* p =
            pixels.data() + std::size_t{topDown ? height - 1 - r : r} * width * bytesPerPixel;
        for (unsigned x = 0; x < width; ++x, p += bytesPerPixel)
            data.u8(p[2]).u8(p[1]).u8(p[0]).text(bytesPerPixel == 4 ? std::string(1, p[3]) : "");
        data.text(std::string((4 - width * bytesPerPixel % 4) % 4, '\0'));
    }
    const auto size = static_cast<std::uint32_t>(data.bytes().size());
    ByteWriter file;
    file.text("BM").u32(54 + size).u32(0).u32(54).u32(40).u32(width);
    file.u32(topDown ? 0u - height : height).u16(1).u16(bitsPerPixel).u32(0).u32(size);
    file.u32(2835).u32(2835).u32(0).u32(0).text(data.bytes());
    return Bytes(file.bytes().begin(), file.bytes().end());
}

}  // namespace testing_support
