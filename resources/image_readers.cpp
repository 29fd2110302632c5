#include "resources/image_readers.h"

#include <algorithm>
#include <unordered_map>

#include "resources/byte_reader.h"
#include "resources/byte_writer.h"

namespace image_readers {

namespace {

// The byte (0 to 3) a BI_BITFIELDS mask selects, or -1 unless it selects exactly one byte.
int maskByte(std::uint32_t mask) {
    for (int k = 0; k < 4; ++k) {
        if (mask == (std::uint32_t{0xFF} << (8 * k))) {
            return k;
        }
    }
    return -1;
}

void swapRedBlue(std::vector<std::uint8_t>& pixels, std::size_t bytesPerPixel) {
    for (std::size_t i = 0; i + bytesPerPixel <= pixels.size(); i += bytesPerPixel) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}

}  // namespace

bool decodeBmp(std::istream& in, const std::string& imageName, DecodedImage& image,
               std::ostream& debugLog) {
    ByteReader reader(in);
    image = DecodedImage{};
    std::uint8_t signature[2];
    if (!reader.read(signature, 2) || signature[0] != 0x42 || signature[1] != 0x4D) {
        return false;
    }
    // The rest of the 14-byte file header and the 40 bytes every info header starts with.
    std::uint8_t h[52];
    if (!reader.read(h, sizeof h)) {
        return false;
    }
    const std::uint32_t pixelOffset = loadU32(h + 8);
    const std::uint32_t headerSize = loadU32(h + 12);
    const std::int32_t width = static_cast<std::int32_t>(loadU32(h + 16));
    const std::int32_t height = static_cast<std::int32_t>(loadU32(h + 20));
    const std::int16_t bitCount = static_cast<std::int16_t>(loadU16(h + 26));
    const std::uint32_t compression = loadU32(h + 28);
    const std::uint32_t sizeImage = loadU32(h + 32);

    if (headerSize < 40) {
        // BITMAPCOREHEADER (12 bytes) and the like: another layout, so the fields above are
        // not what they seem.
        debugLog << "Unsupported image " << imageName << " (BMP header of " << headerSize
                 << " bytes)\n";
        return false;
    }
    if (compression != 0 && compression != 3) {
        return false;
    }
    if (bitCount != 24 && bitCount != 32) {
        return false;
    }
    if (compression == 3 && bitCount != 32) {
        return false;
    }
    if (width <= 0 || height == 0) {
        debugLog << "Corrupt image " << imageName << " (BMP size " << width << " x " << height
                 << ")\n";
        return false;
    }
    const std::uint64_t bytesPerPixel = static_cast<std::uint64_t>(bitCount) / 8;
    const std::uint64_t columns = static_cast<std::uint64_t>(width);
    const bool topDown = height < 0;
    const std::uint64_t rows = topDown
                                   ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height))
                                   : static_cast<std::uint64_t>(height);
    const std::uint64_t pixelCount = columns * rows;  // both below 2^32: no overflow
    if (pixelCount > maxImagePixels) {
        debugLog << "Refused image " << imageName << " (BMP of " << columns << " x " << rows
                 << " pixels is too large)\n";
        return false;
    }
    const std::uint64_t packedSize = pixelCount * bytesPerPixel;
    const std::uint64_t rowBytes = columns * bytesPerPixel;
    const std::uint64_t stride = (rowBytes + 3) & ~std::uint64_t{3};
    const std::uint64_t paddedSize = stride * rows;
    const std::uint64_t dataSize = sizeImage != 0 ? sizeImage : packedSize;
    if (dataSize != packedSize) {
        debugLog << "Possibly corrupt image " << imageName << " (BmpDataSize doesn't match)\n";
    }
    if (sizeImage != 0 && sizeImage < paddedSize) {
        debugLog << "Refused image " << imageName << " (BmpDataSize " << sizeImage
                 << " is smaller than its " << rows << " rows of " << stride << " bytes)\n";
        return false;
    }

    // Three masks follow a 40-byte header when the compression is BI_BITFIELDS; longer headers
    // hold them (and, from 56 bytes on, the alpha mask) at the same place.
    const std::uint64_t masksAfterHeader = (compression == 3 && headerSize == 40) ? 12 : 0;
    if (static_cast<std::uint64_t>(pixelOffset) <
        14 + std::uint64_t{headerSize} + masksAfterHeader) {
        debugLog << "Corrupt image " << imageName << " (BMP pixel offset " << pixelOffset
                 << " lies inside its headers)\n";
        return false;
    }
    std::uint64_t gap = pixelOffset - 54u;
    int channel[4] = {2, 1, 0, 3};  // source byte of R, G, B, A: B, G, R, A order
    if (compression == 3) {
        const std::size_t maskBytes = headerSize >= 56 ? 16 : 12;
        std::uint8_t masks[16] = {};
        if (!reader.read(masks, maskBytes)) {
            return false;
        }
        gap -= maskBytes;
        const int r = maskByte(loadU32(masks));
        const int g = maskByte(loadU32(masks + 4));
        const int b = maskByte(loadU32(masks + 8));
        const std::uint32_t alphaMask = maskBytes == 16 ? loadU32(masks + 12) : 0;
        if (r < 0 || g < 0 || b < 0 || r == g || r == b || g == b) {
            return false;
        }
        // Without an alpha mask the fourth byte is taken as alpha, as in an uncompressed file.
        const int a = alphaMask != 0 ? maskByte(alphaMask) : 6 - r - g - b;
        if (a < 0 || a == r || a == g || a == b) {
            return false;
        }
        channel[0] = r;
        channel[1] = g;
        channel[2] = b;
        channel[3] = a;
    }
    if (!reader.holds(gap + paddedSize) || !reader.skip(gap)) {
        return false;
    }
    std::vector<std::uint8_t> data;
    if (!reader.readBytes(data, paddedSize)) {
        return false;
    }

    image.width = static_cast<std::uint32_t>(columns);
    image.height = static_cast<std::uint32_t>(rows);
    image.bitsPerPixel = static_cast<std::uint32_t>(bitCount);
    image.pixels.resize(static_cast<std::size_t>(packedSize));
    const std::size_t bpp = static_cast<std::size_t>(bytesPerPixel);
    for (std::uint64_t row = 0; row < rows; ++row) {
        // Bottom row first, whichever way the file stores them.
        const std::uint64_t sourceRow = topDown ? rows - 1 - row : row;
        const std::uint8_t* source = data.data() + sourceRow * stride;
        std::uint8_t* target = image.pixels.data() + row * rowBytes;
        for (std::uint64_t x = 0; x < columns; ++x, source += bpp, target += bpp) {
            for (std::size_t c = 0; c < bpp; ++c) {
                target[c] = source[channel[c]];
            }
        }
    }
    return true;
}

bool decodeTga(std::istream& in, DecodedImage& image, std::ostream& errors) {
    ByteReader reader(in);
    image = DecodedImage{};
    std::uint8_t h[18];
    if (!reader.read(h, sizeof h)) {
        return false;
    }
    const unsigned idLength = h[0];
    const unsigned colourMapType = h[1];
    const unsigned imageType = h[2];
    const unsigned mapFirst = loadU16(h + 3);
    const unsigned mapLength = loadU16(h + 5);
    const unsigned mapEntrySize = h[7];
    const std::uint64_t width = loadU16(h + 12);
    const std::uint64_t height = loadU16(h + 14);
    const unsigned pixelDepth = h[16];

    if (!reader.skip(idLength)) {
        return false;
    }
    // Entries of 15 bits take two bytes, like those of 16.
    const std::uint64_t entryBytes = (mapEntrySize + 7) / 8;
    std::vector<std::uint8_t> colourMap;
    if (colourMapType != 0) {
        const std::uint64_t mapBytes = std::uint64_t{mapLength} * entryBytes;
        if (!reader.holds(mapBytes) || !reader.readBytes(colourMap, mapBytes)) {
            return false;
        }
    }

    bool mapped = false;
    bool runLength = false;
    switch (imageType) {
        case 0:
            return false;
        case 2:
            break;
        case 10:
            if (pixelDepth % 8 != 0) {
                errors << "  This program can't read IMAGE_TYPE 10 without the image pixel depth "
                          "a multiple of 1Byte.\n";
                return false;
            }
            runLength = true;
            break;
        case 1:
        case 9:
            if (pixelDepth % 8 != 0 || mapEntrySize % 8 != 0) {
                errors << "  This program can't read IMAGE_TYPE " << imageType
                       << " without both the image pixel depth and color map entry size "
                          "multiples of 1Byte.\n";
                return false;
            }
            mapped = true;
            runLength = imageType == 9;
            break;
        case 3:
        case 11:
            errors << "  This program can't read IMAGE_TYPE " << imageType << " files.\n";
            return false;
        default:
            errors << "  Illegal value of IMAGE_TYPE = " << imageType << ".\n";
            return false;
    }

    // What one element of the pixel data is (a colour, or an index into the map), and the depth
    // of the result.
    const std::uint64_t elementBytes = pixelDepth / 8;
    const unsigned resultDepth = mapped ? mapEntrySize : pixelDepth;
    if (resultDepth != 24 && resultDepth != 32) {
        return false;
    }
    if (mapped && (colourMapType == 0 || (elementBytes != 1 && elementBytes != 2))) {
        return false;
    }
    if (!mapped && elementBytes * 8 != pixelDepth) {
        return false;
    }
    const std::uint64_t pixelCount = width * height;
    if (pixelCount == 0) {
        return false;
    }
    if (pixelCount > maxImagePixels) {
        errors << "  This program can't read images of more than " << maxImagePixels
               << " pixels.\n";
        return false;
    }

    const std::uint64_t remaining = reader.remaining();
    std::vector<std::uint8_t> data;
    if (!runLength) {
        if (!reader.holds(pixelCount * elementBytes) ||
            !reader.readBytes(data, pixelCount * elementBytes)) {
            return false;
        }
    } else {
        // Each packet takes at least a header byte and one element, and gives at most 128
        // pixels: a file too short to expand to the image is refused before anything is
        // allocated for it.
        if (remaining != ByteReader::unknownSize &&
            pixelCount > (remaining + elementBytes) / (1 + elementBytes) * 128) {
            return false;
        }
        data.resize(static_cast<std::size_t>(pixelCount * elementBytes));
        const std::size_t element = static_cast<std::size_t>(elementBytes);
        std::size_t produced = 0;
        const std::size_t total = static_cast<std::size_t>(pixelCount);
        while (produced < total) {
            std::uint8_t header = 0;
            if (!reader.read(&header, 1)) {
                return false;
            }
            // Packets stop at the end of the image, whatever their count says.
            const std::size_t count = std::min<std::size_t>((header & 0x7F) + 1u, total - produced);
            std::uint8_t* target = data.data() + produced * element;
            if (header & 0x80) {
                if (!reader.read(target, element)) {
                    return false;
                }
                for (std::size_t i = 1; i < count; ++i) {
                    std::copy(target, target + element, target + i * element);
                }
            } else if (!reader.read(target, count * element)) {
                return false;
            }
            produced += count;
        }
    }

    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.bitsPerPixel = resultDepth;
    if (!mapped) {
        image.pixels = std::move(data);
    } else {
        const std::size_t bytes = resultDepth / 8;
        image.pixels.resize(static_cast<std::size_t>(pixelCount) * bytes);
        for (std::size_t i = 0; i < pixelCount; ++i) {
            const unsigned index = elementBytes == 1 ? data[i] : loadU16(data.data() + i * 2);
            if (index < mapFirst || index - mapFirst >= mapLength) {
                image = DecodedImage{};
                return false;
            }
            const std::uint8_t* entry = colourMap.data() + (index - mapFirst) * entryBytes;
            std::copy(entry, entry + bytes, image.pixels.data() + i * bytes);
        }
    }
    swapRedBlue(image.pixels, resultDepth / 8);
    return true;
}

bool decodeTxf(std::istream& in, DecodedImage& image) {
    ByteReader reader(in);
    image = DecodedImage{};
    std::uint8_t magic[4];
    if (!reader.read(magic, 4) || magic[0] != 't' || magic[1] != 'x' || magic[2] != 'f' ||
        magic[3] != 0) {
        return false;
    }
    std::uint8_t h[12];
    if (!reader.read(h, sizeof h)) {
        return false;
    }
    const unsigned compression = loadU16(h);
    const unsigned depth = loadU16(h + 2);
    const std::uint64_t width = loadU32(h + 4);
    const std::uint64_t height = loadU32(h + 8);
    if (depth != 24 && depth != 32) {
        return false;
    }
    const std::uint64_t pixelCount = width * height;  // both below 2^32: no overflow
    if (pixelCount == 0 || pixelCount > maxImagePixels) {
        return false;
    }
    const std::size_t bytesPerPixel = depth / 8;
    const std::uint64_t pixelBytes = pixelCount * bytesPerPixel;

    std::vector<std::uint8_t> pixels;
    if (compression == 0) {
        if (!reader.holds(pixelBytes) || !reader.readBytes(pixels, pixelBytes)) {
            return false;
        }
    } else if (compression == 1) {
        std::uint8_t counts[8];
        if (!reader.read(counts, sizeof counts)) {
            return false;
        }
        const std::uint64_t paletteSize = loadU32(counts);
        const std::uint64_t codeCount = loadU32(counts + 4);
        const std::uint64_t codeBytes = paletteSize <= 255 ? 1 : 2;
        const std::uint64_t paletteBytes = paletteSize * bytesPerPixel;
        std::vector<std::uint8_t> palette;
        std::vector<std::uint8_t> codeData;
        if (!reader.holds(paletteBytes + codeCount * codeBytes) ||
            !reader.readBytes(palette, paletteBytes) ||
            !reader.readBytes(codeData, codeCount * codeBytes)) {
            return false;
        }
        auto code = [&](std::uint64_t i) -> std::uint32_t {
            return codeBytes == 1 ? codeData[static_cast<std::size_t>(i)]
                                  : loadU16(codeData.data() + i * 2);
        };
        // First pass: check every code and count the pixels they make, so the pixel array is
        // only allocated for codes that fill it exactly.
        std::uint64_t produced = 0;
        for (std::uint64_t i = 0; i < codeCount; ++i) {
            const std::uint32_t c = code(i);
            if (c == 0) {
                // A run marker: the count after it covers the pixel before it as well.
                if (i == 0 || i + 1 >= codeCount || code(i + 1) == 0) {
                    return false;
                }
                produced += code(i + 1) - 1;
                ++i;
            } else {
                if (c - 1 >= paletteSize) {
                    return false;
                }
                ++produced;
            }
            if (produced > pixelCount) {
                return false;
            }
        }
        if (produced != pixelCount) {
            return false;
        }
        pixels.resize(static_cast<std::size_t>(pixelBytes));
        std::uint8_t* target = pixels.data();
        for (std::uint64_t i = 0; i < codeCount; ++i) {
            const std::uint32_t c = code(i);
            if (c == 0) {
                const std::uint32_t more = code(i + 1) - 1;
                for (std::uint32_t k = 0; k < more; ++k, target += bytesPerPixel) {
                    std::copy(target - bytesPerPixel, target, target);
                }
                ++i;
            } else {
                const std::uint8_t* entry = palette.data() + std::size_t{c - 1} * bytesPerPixel;
                std::copy(entry, entry + bytesPerPixel, target);
                target += bytesPerPixel;
            }
        }
    } else {
        return false;
    }
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.bitsPerPixel = depth;
    image.pixels = std::move(pixels);
    return true;
}

std::vector<std::uint8_t> encodeTxf(const DecodedImage& image) {
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32) {
        return {};
    }
    const std::size_t bytesPerPixel = image.bytesPerPixel();
    const std::size_t pixelCount = std::size_t{image.width} * image.height;
    if (pixelCount == 0 || image.pixels.size() != pixelCount * bytesPerPixel) {
        return {};
    }
    // The palette in order of first appearance, and each pixel's entry.
    std::unordered_map<std::uint32_t, std::uint32_t> entryOf;
    std::vector<std::uint8_t> palette;
    std::vector<std::uint32_t> index(pixelCount);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const std::uint8_t* p = image.pixels.data() + i * bytesPerPixel;
        std::uint32_t key = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        if (bytesPerPixel == 4) {
            key |= static_cast<std::uint32_t>(p[3]) << 24;
        }
        const auto found = entryOf.emplace(key, static_cast<std::uint32_t>(entryOf.size()));
        if (found.second) {
            palette.insert(palette.end(), p, p + bytesPerPixel);
        }
        index[i] = found.first->second;
    }
    const std::size_t paletteSize = entryOf.size();

    ByteWriter out;
    out.append("txf", 4);
    if (paletteSize >= 65536) {
        out.u16(0);
        out.u16(static_cast<std::uint16_t>(image.bitsPerPixel));
        out.u32(image.width);
        out.u32(image.height);
        out.append(image.pixels.data(), image.pixels.size());
        return out.bytes;
    }
    const bool wideCodes = paletteSize > 255;
    const std::uint32_t longestRun = wideCodes ? 65535 : 255;
    std::vector<std::uint32_t> codes;
    codes.push_back(index[0] + 1);
    for (std::size_t i = 1; i < pixelCount; ++i) {
        if (i + 1 < pixelCount && index[i - 1] == index[i] && index[i] == index[i + 1]) {
            // Pixels i - 1 (already coded), i and i + 1, and every further equal one.
            std::uint32_t count = 3;
            ++i;
            while (count < longestRun && i + 1 < pixelCount && index[i + 1] == index[i]) {
                ++count;
                ++i;
            }
            codes.push_back(0);
            codes.push_back(count);
        } else {
            codes.push_back(index[i] + 1);
        }
    }
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(image.bitsPerPixel));
    out.u32(image.width);
    out.u32(image.height);
    out.u32(static_cast<std::uint32_t>(paletteSize));
    out.u32(static_cast<std::uint32_t>(codes.size()));
    out.append(palette.data(), palette.size());
    for (const std::uint32_t c : codes) {
        if (wideCodes) {
            out.u16(static_cast<std::uint16_t>(c));
        } else {
            out.u8(static_cast<std::uint8_t>(c));
        }
    }
    return out.bytes;
}

}  // namespace image_readers
