// The GL-free image decoders (BMP, TGA, txf) and the txf encoder: files made by ImageMagick
// during the run, hand-built edge cases and hostile headers. Truncated files are left to the
// fuzz harnesses.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "resources/image_readers.h"
#include "support/image_files.h"
#include "support/test_support.h"

using image_readers::DecodedImage;
using namespace testing_support;

namespace {

struct Outcome {
    bool ok = false;
    DecodedImage image;
    std::string messages;
};

// Decodes `file` as 'b'mp (named "i.bmp" in its lines), 't'ga or 'x' (txf).
Outcome decode(char kind, const std::string& file) {
    Outcome o;
    std::istringstream in(file);
    std::ostringstream log;
    o.ok = kind == 'b'   ? image_readers::decodeBmp(in, "i.bmp", o.image, log)
           : kind == 't' ? image_readers::decodeTga(in, o.image, log)
                         : image_readers::decodeTxf(in, o.image);
    o.messages = log.str();
    return o;
}

void expectImage(const Outcome& o, unsigned width, unsigned height, unsigned depth,
                 const Bytes& pixels) {
    ASSERT_TRUE(o.ok) << o.messages;
    EXPECT_EQ(o.image.width, width);
    EXPECT_EQ(o.image.height, height);
    EXPECT_EQ(o.image.bitsPerPixel, depth);
    EXPECT_EQ(o.image.pixels, pixels);
}

std::string raw(std::initializer_list<int> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(BmpReader, ImageMagickFilesGiveTheDrawnColoursOrAreRefused) {
    const char* const warning = "Possibly corrupt image i.bmp (BmpDataSize doesn't match)\n";
    const struct {
        unsigned width, height;
        bool alpha;
        const char* options;
        const char* target;
        bool ok;
        const char* messages;  // BmpDataSize warns when it counts the rows' padding
    } cases[] = {
        {5, 3, false, "", "v5.bmp", true, warning},  // 124-byte header, pixels at 138
        {5, 3, false, "", "BMP3:v3.bmp", true, warning},
        {4, 2, false, "", "BMP3:even.bmp", true, ""},
        // BI_BITFIELDS, masks R 00FF0000, G 0000FF00, B 000000FF, A FF000000.
        {5, 3, true, "", "v5alpha.bmp", true, ""},
        {5, 3, true, "-define bmp3:alpha=true", "BMP3:v3alpha.bmp", true, ""},
        {5, 3, false, "", "BMP2:core.bmp", false,
         "Unsupported image i.bmp (BMP header of 12 bytes)\n"},
        // Other depths and compressions are refused silently.
        {4, 4, false, "-type Palette", "BMP3:eight.bmp", false, ""},
        {4, 4, false, "-define bmp:subtype=RGB565", "sixteen.bmp", false, ""},
        {4, 4, false, "-type Palette -compress RLE", "BMP3:rle.bmp", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const Bytes picture = testPattern(c.width, c.height, c.alpha);
        ASSERT_TRUE(convertPicture(c.width, c.height, c.alpha, picture, c.options, c.target));
        const std::string path = std::string(c.target).substr(std::string(c.target).find(':') + 1);
        const Outcome o = decode('b', readFile(path));
        EXPECT_EQ(o.messages, c.messages);
        if (c.ok) {
            const unsigned bpp = c.alpha ? 4 : 3;
            expectImage(o, c.width, c.height, bpp * 8, flipRows(picture, c.width, c.height, bpp));
        } else {
            EXPECT_FALSE(o.ok);
        }
    }
}

TEST(BmpReader, HandBuiltHeaders) {
    const Bytes rows = testPattern(5, 3, false);
    // Rows of 15 bytes stored as 16; no image size in the header: computed.
    const std::string b = patch32(text(makeBmp(5, 3, 24, rows)), 34, 0);
    const std::string b32 = text(makeBmp(3, 3, 32, testPattern(3, 3, true)));
    const std::string warn = "Possibly corrupt image i.bmp (BmpDataSize doesn't match)\n";
    const std::string inside = "Corrupt image i.bmp (BMP pixel offset ";
    const std::string tooLarge = "Refused image i.bmp (BMP of ";
    auto size = [&](std::int32_t width, std::int32_t height) {
        const std::string file = patch32(b32, 34, 0x4000001);
        return patch32(patch32(file, 18, std::uint32_t(width)), 22, std::uint32_t(height));
    };
    const struct {
        std::string file;
        bool ok;
        std::string messages;
    } cases[] = {
        {b, true, ""},
        {patch32(b, 34, 1000), true, warn},
        {patch32(b, 34, 45), false,
         "Refused image i.bmp (BmpDataSize 45 is smaller than its 3 rows of 16 bytes)\n"},
        {patch32(b, 34, 10), false,
         warn + "Refused image i.bmp (BmpDataSize 10 is smaller than its 3 rows of 16 bytes)\n"},
        {patch32(b, 10, 40), false, inside + "40 lies inside its headers)\n"},
        // With BI_BITFIELDS and a 40-byte header, the three masks must lie before the pixels too.
        {patch32(patch32(patch32(b32, 34, 0), 30, 3), 10, 60), false,
         inside + "60 lies inside its headers)\n"},
        {patch32(b, 14, 0xFFFFFFF0), false, inside + "54 lies inside its headers)\n"},
        {patch32(b, 10, 0xFFFFFFFF), false, ""},
        {patch32(b, 30, 3), false, ""},  // bitfields at 24 bits
        {size(0, 3), false, "Corrupt image i.bmp (BMP size 0 x 3)\n"},
        {size(-3, 3), false, "Corrupt image i.bmp (BMP size -3 x 3)\n"},
        {size(3, 0), false, "Corrupt image i.bmp (BMP size 3 x 0)\n"},
        {size(INT32_MAX, INT32_MIN), false,
         tooLarge + "2147483647 x 2147483648 pixels is too large)\n"},
        {size(65536, 65536), false, tooLarge + "65536 x 65536 pixels is too large)\n"},
        // Within the pixel limit but far beyond the file: a short read, before allocating.
        {size(4096, -4096), false, warn},
        {"BA", false, ""},
    };
    for (const auto& c : cases) {
        const Outcome o = decode('b', c.file);
        EXPECT_EQ(o.ok, c.ok) << c.messages;
        EXPECT_EQ(o.messages, c.messages);
        EXPECT_EQ(o.image.pixels.empty(), !c.ok);
    }
    expectImage(decode('b', b), 5, 3, 24, rows);
    // Top-down rows are flipped into bottom-up order.
    expectImage(decode('b', text(makeBmp(5, 3, 24, rows, true))), 5, 3, 24, rows);
    // A pixel offset past the headers skips the gap.
    const std::string gap =
        patch32(b.substr(0, 54) + std::string(100, '\xEE') + b.substr(54), 10, 154);
    expectImage(decode('b', gap), 5, 3, 24, rows);
}

TEST(BmpReader, BitfieldMasksMustEachPickADifferentWholeByte) {
    const Bytes pattern = testPattern(2, 2, true);
    const std::string plain = text(makeBmp(2, 2, 32, pattern));
    auto masked = [&](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        const std::string masks = ByteWriter().u32(r).u32(g).u32(b).bytes();
        return patch32(patch32(plain.substr(0, 54) + masks + plain.substr(54), 30, 3), 10, 66);
    };
    EXPECT_FALSE(decode('b', masked(0x7C00, 0x03E0, 0x001F)).ok);
    EXPECT_FALSE(decode('b', masked(0xFF00, 0xFF00, 0xFF)).ok);
    // makeBmp stored B, G, R, A; read with R in byte 3, G in 2, B in 1 and A in 0.
    const Outcome o = decode('b', masked(0xFF000000, 0x00FF0000, 0x0000FF00));
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.image.pixels[0], pattern[3]);
    EXPECT_EQ(o.image.pixels[1], pattern[0]);
    EXPECT_EQ(o.image.pixels[2], pattern[1]);
    EXPECT_EQ(o.image.pixels[3], pattern[2]);
}

TEST(BmpReader, ReadsFromTheStreamPositionAndFromStreamsThatCannotSeek) {
    // A stream without seeking or size, like a pipe.
    struct PipeBuffer : std::streambuf {
        explicit PipeBuffer(std::string bytes) : bytes_(std::move(bytes)) {
            setg(&bytes_[0], &bytes_[0], &bytes_[0] + bytes_.size());
        }
        std::string bytes_;
    };
    const std::string file = text(makeBmp(5, 3, 24, testPattern(5, 3, false)));
    for (std::size_t cut : {0, 1}) {
        PipeBuffer buffer(file.substr(0, file.size() - cut));
        std::istream in(&buffer);
        DecodedImage image;
        std::ostringstream log;
        EXPECT_EQ(image_readers::decodeBmp(in, "p.bmp", image, log), cut == 0);
        EXPECT_EQ(image.pixels.empty(), cut != 0);
    }
    std::istringstream in("prefix" + file);
    in.seekg(6);
    DecodedImage image;
    std::ostringstream log;
    ASSERT_TRUE(image_readers::decodeBmp(in, "x", image, log));
    EXPECT_EQ(image.pixels, testPattern(5, 3, false));
}

TEST(TgaReader, ImageMagickFilesGiveTheDrawnColours) {
    const struct {
        bool alpha;
        const char* options;
        int imageType;
    } cases[] = {
        {false, "-type TrueColor", 2},
        {true, "-type TrueColorAlpha", 2},
        {false, "-type TrueColor -compress RLE", 10},
        {true, "-type TrueColorAlpha -compress RLE", 10},
        {false, "-type Palette", 1},
        {false, "-type Palette -compress RLE", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const Bytes picture = testPattern(5, 3, c.alpha);
        ASSERT_TRUE(convertPicture(5, 3, c.alpha, picture, c.options, "t.tga"));
        const std::string file = readFile("t.tga");
        ASSERT_GT(file.size(), 18u);
        EXPECT_EQ(file[2], c.imageType);
        // ImageMagick writes the picture's rows top first, and the reader keeps file order.
        expectImage(decode('t', file), 5, 3, c.alpha ? 32 : 24, picture);
    }
    // 300 x 2 of one colour: runs of 128 and the rest, per row.
    ASSERT_TRUE(runConvert("-size 300x2 xc:'rgb(10,20,30)' -type TrueColor -compress RLE u.tga"));
    Bytes uniform;
    for (int i = 0; i < 600; ++i) {
        uniform.insert(uniform.end(), {10, 20, 30});
    }
    expectImage(decode('t', readFile("u.tga")), 300, 2, 24, uniform);
    ASSERT_TRUE(runConvert("-size 4x4 xc:gray50 -type Grayscale grey.tga"));
    EXPECT_EQ(decode('t', readFile("grey.tga")).messages,
              "  This program can't read IMAGE_TYPE 3 files.\n");
}

TEST(TgaReader, HandBuiltFilesAndTheirMessages) {
    auto header = [](int type, unsigned width, unsigned height, unsigned depth, int mapType = 0,
                     unsigned mapFirst = 0, unsigned mapLength = 0, unsigned entrySize = 0,
                     unsigned idLength = 0) {
        return ByteWriter()
            .u8(idLength)
            .u8(mapType)
            .u8(type)
            .u16(mapFirst)
            .u16(mapLength)
            .u8(entrySize)
            .u32(0)
            .u16(width)
            .u16(height)
            .u8(depth)
            .u8(0)
            .bytes();
    };
    const std::string cant = "  This program can't read IMAGE_TYPE ";
    const std::string multiples =
        " without both the image pixel depth and color map entry size multiples of 1Byte.\n";
    const struct {
        std::string file;
        unsigned width, depth;  // one row
        Bytes pixels;           // none: refused
        std::string messages;
    } cases[] = {
        // 0x80 a run of one, 0x00 a raw packet of one, then a run of two.
        {header(10, 4, 1, 24) + raw({0x80, 1, 2, 3, 0x00, 4, 5, 6, 0x81, 7, 8, 9}),
         4,
         24,
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7},
         ""},
        // Packets stop at the end of the image: a run of 128, a raw packet of 3.
        {header(10, 2, 1, 24) + raw({0xFF, 1, 2, 3}), 2, 24, {3, 2, 1, 3, 2, 1}, ""},
        {header(10, 2, 1, 24) + raw({0x02, 1, 2, 3, 4, 5, 6}), 2, 24, {3, 2, 1, 6, 5, 4}, ""},
        // The id field and the colour map of a true-colour image are skipped.
        {header(2, 1, 1, 24, 1, 0, 2, 24, 3) + "abc" + raw({9, 9, 9, 8, 8, 8, 1, 2, 3}),
         1,
         24,
         {3, 2, 1},
         ""},
        // Sixteen-bit indices 6, 5, 6 into a map of 32-bit entries that starts at index 5.
        {header(1, 3, 1, 16, 1, 5, 2, 32) + raw({1, 2, 3, 4, 5, 6, 7, 8, 6, 0, 5, 0, 6, 0}),
         3,
         32,
         {7, 6, 5, 8, 3, 2, 1, 4, 7, 6, 5, 8},
         ""},
        {header(1, 1, 1, 8, 1, 5, 2, 24) + raw({1, 2, 3, 4, 5, 6, 7}), 1, 24, {}, ""},
        {header(1, 1, 1, 8, 1, 5, 2, 24) + raw({1, 2, 3, 4, 5, 6, 4}), 1, 24, {}, ""},
        {header(1, 1, 1, 8, 0, 0, 0, 24) + raw({0}), 1, 24, {}, ""},  // no map
        {header(3, 2, 2, 8) + raw({0, 0, 0, 0}), 0, 0, {}, cant + "3 files.\n"},
        {header(11, 2, 2, 8) + raw({0, 0, 0, 0}), 0, 0, {}, cant + "11 files.\n"},
        {header(8, 2, 2, 24), 0, 0, {}, "  Illegal value of IMAGE_TYPE = 8.\n"},
        {header(200, 2, 2, 24), 0, 0, {}, "  Illegal value of IMAGE_TYPE = 200.\n"},
        {header(10, 2, 2, 15),
         0,
         0,
         {},
         cant + "10 without the image pixel depth a multiple of 1Byte.\n"},
        {header(1, 2, 2, 8, 1, 0, 1, 15) + raw({0, 0}), 0, 0, {}, cant + "1" + multiples},
        {header(9, 2, 2, 4, 1, 0, 1, 24) + raw({0, 0, 0}), 0, 0, {}, cant + "9" + multiples},
        {header(0, 2, 2, 24), 0, 0, {}, ""},
        {header(2, 2, 2, 16) + std::string(8, '\0'), 0, 0, {}, ""},  // depths but 24, 32: silent
        {header(10, 2, 2, 8) + std::string(8, '\0'), 0, 0, {}, ""},
        {header(2, 65535, 65535, 32) + std::string(16, '\0'),
         0,
         0,
         {},
         "  This program can't read images of more than 16777216 pixels.\n"},
        // Sizes a few bytes cannot hold or expand to.
        {header(2, 4000, 4000, 32) + std::string(16, '\0'), 0, 0, {}, ""},
        {header(10, 4000, 4000, 32) + raw({0xFF, 1, 2, 3, 4}), 0, 0, {}, ""},
        {header(9, 4000, 4000, 8, 1, 0, 1, 24) + raw({1, 2, 3, 0xFF, 0}), 0, 0, {}, ""},
        {header(2, 0, 5, 24), 0, 0, {}, ""},
        {header(2, 1, 1, 24, 1, 0, 65535, 32) + raw({0, 0, 0}), 0, 0, {}, ""},
    };
    for (const auto& c : cases) {
        const Outcome o = decode('t', c.file);
        EXPECT_EQ(o.messages, c.messages);
        if (c.pixels.empty()) {
            EXPECT_FALSE(o.ok) << c.messages;
        } else {
            expectImage(o, c.width, 1, c.depth, c.pixels);
        }
    }
}

namespace {

// A txf file with the given header fields, palette and codes (a byte each for palettes of up
// to 255 entries, two bytes otherwise).
std::string txfFile(unsigned depth, std::uint32_t width, std::uint32_t height,
                    const std::vector<Bytes>& palette, const std::vector<std::uint32_t>& codes) {
    ByteWriter file;
    file.text(raw({'t', 'x', 'f', 0})).u16(1).u16(depth).u32(width).u32(height);
    file.u32(std::uint32_t(palette.size())).u32(std::uint32_t(codes.size()));
    for (const Bytes& entry : palette) {
        file.bytes(entry);
    }
    for (std::uint32_t c : codes) {
        palette.size() <= 255 ? file.u8(c) : file.u16(c);
    }
    return file.bytes();
}

DecodedImage imageOf(unsigned width, unsigned depth, const Bytes& pixels) {
    DecodedImage image;
    image.width = width;
    image.height = unsigned(pixels.size() / (depth / 8) / width);
    image.bitsPerPixel = depth;
    image.pixels = pixels;
    return image;
}

}  // namespace

TEST(TxfFormat, RawAndPaletteFilesDecodeAndTheEncoderFormsRuns) {
    const std::string rawFile =
        ByteWriter().text(raw({'t', 'x', 'f', 0})).u16(0).u16(24).u32(2).u32(1).bytes();
    expectImage(decode('x', rawFile + raw({1, 2, 3, 4, 5, 6})), 2, 1, 24, {1, 2, 3, 4, 5, 6});
    // Palette A, B: codes A, run of 4 A in all, B, A.
    expectImage(decode('x', txfFile(24, 7, 1, {{1, 1, 1}, {2, 2, 2}}, {1, 0, 4, 2, 1, 1})), 7, 1,
                24, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1});
    // Chained runs: each count includes the last pixel written before its marker.
    expectImage(decode('x', txfFile(32, 5, 1, {{9, 8, 7, 6}}, {1, 0, 3, 0, 3})), 5, 1, 32,
                {9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6});
    // A A A B B A A A: runs of three or more equal pixels only.
    Bytes pixels;
    for (int p : {0, 0, 0, 1, 1, 0, 0, 0}) {
        pixels.insert(pixels.end(), {std::uint8_t(p), 0, 0});
    }
    EXPECT_EQ(text(image_readers::encodeTxf(imageOf(8, 24, pixels))),
              txfFile(24, 8, 1, {{0, 0, 0}, {1, 0, 0}}, {1, 0, 3, 2, 2, 1, 0, 3}));
    EXPECT_EQ(text(image_readers::encodeTxf(imageOf(3, 32, Bytes(12, 200)))),
              txfFile(32, 3, 1, {{200, 200, 200, 200}}, {1, 0, 3}));
    EXPECT_TRUE(image_readers::encodeTxf(DecodedImage{}).empty());
}

TEST(TxfFormat, RandomImagesSurviveTheRoundTrip) {
    std::mt19937 random(20261206);
    const struct {
        unsigned width, height, colours;
        bool longRuns;
        int codeBytes;  // 0: raw
    } cases[] = {
        {3, 1, 1, false, 1},         {17, 13, 5, false, 1},       {64, 64, 255, false, 1},
        {100, 30, 3, true, 1},       {500, 400, 256, false, 2},   {700, 300, 1000, true, 2},
        {400, 400, 65535, false, 2}, {300, 240, 65536, false, 0},
    };
    for (const auto& c : cases) {
        for (unsigned depth : {24u, 32u}) {
            SCOPED_TRACE(std::to_string(c.colours) + " colours, depth " + std::to_string(depth));
            // Every colour once, then runs of random colours (some very long with longRuns).
            Bytes pixels;
            const std::size_t size = std::size_t{c.width} * c.height * depth / 8;
            for (unsigned n = 0; pixels.size() < size; ++n) {
                const unsigned colour = n < c.colours ? n : random() % c.colours;
                std::size_t run = n < c.colours ? 1 : 1 + random() % 4;
                if (n >= c.colours && c.longRuns && random() % 8 == 0) {
                    run = 200 + random() % 70000;
                }
                for (std::size_t i = 0; i < run; ++i) {
                    for (unsigned b = 0; b < depth / 8; ++b) {
                        pixels.push_back(std::uint8_t(colour >> (8 * b)));
                    }
                }
            }
            pixels.resize(size);
            const Bytes file = image_readers::encodeTxf(imageOf(c.width, depth, pixels));
            ASSERT_GE(file.size(), 20u);
            EXPECT_EQ(file[4], c.codeBytes > 0 ? 1 : 0);
            if (c.codeBytes > 0) {
                EXPECT_EQ(file[16] | file[17] << 8 | file[18] << 16, int(c.colours));
            }
            expectImage(decode('x', text(file)), c.width, c.height, depth, pixels);
        }
    }
    // Single runs beyond the longest count a code holds are split.
    for (unsigned length : {255u, 256u, 511u, 65535u, 65536u, 65537u, 200000u}) {
        for (unsigned colours : {1u, 300u}) {
            Bytes pixels(std::size_t{length} * 3, 7);
            for (unsigned c = 1; c < colours; ++c) {
                pixels.insert(pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), 1});
            }
            const Bytes file = image_readers::encodeTxf(imageOf(length + colours - 1, 24, pixels));
            expectImage(decode('x', text(file)), length + colours - 1, 1, 24, pixels);
        }
    }
}

TEST(TxfFormat, CodesAndHeadersThatDoNotMakeTheImageAreRefused) {
    const std::vector<Bytes> two = {{1, 2, 3}, {4, 5, 6}};
    const std::vector<Bytes> big(300, Bytes{1, 1, 1});
    EXPECT_TRUE(decode('x', txfFile(24, 4, 1, two, {1, 0, 3, 2})).ok);
    EXPECT_TRUE(decode('x', txfFile(24, 1, 1, big, {300})).ok);
    const std::string good = txfFile(32, 3, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {1, 2, 0, 3, 1, 2});
    ASSERT_TRUE(decode('x', good).ok);
    const std::string rawHeader = ByteWriter().text(raw({'t', 'x', 'f', 0})).u16(0).u16(32).bytes();
    std::vector<std::string> refused = {
        // Run marker first, last, with a zero count; runs or codes beyond the image; too few.
        txfFile(24, 3, 1, two, {0, 3, 1}), txfFile(24, 2, 1, two, {1, 2, 0}),
        txfFile(24, 2, 1, two, {1, 0, 0, 2}), txfFile(24, 4, 1, two, {1, 0, 5}),
        txfFile(24, 1, 1, two, {1, 0, 255}), txfFile(24, 2, 1, two, {1, 2, 1}),
        txfFile(24, 4, 1, two, {1, 2}),
        // Palette indices beyond the palette, of one and of two bytes.
        txfFile(24, 2, 1, two, {1, 3}), txfFile(24, 1, 1, {}, {1}), txfFile(24, 1, 1, big, {301}),
        txfFile(24, 1, 1, big, {65535}),
        // Magic, depth, compression; palette and code counts far beyond the file.
        good.substr(0, 3) + "x" + good.substr(4), good.substr(0, 6) + raw({16, 0}) + good.substr(8),
        good.substr(0, 4) + raw({2, 0}) + good.substr(6), patch32(good, 16, 0xFFFFFFFF),
        patch32(good, 20, 0xFFFFFFFF)};
    // Sizes over the pixel limit, empty, or beyond what the codes or bytes give.
    for (auto size : {std::pair<std::uint32_t, std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF},
                      {0xFFFFFFFF, 1},
                      {4096, 4096},
                      {0, 5},
                      {5, 0}}) {
        refused.push_back(patch32(patch32(good, 8, size.first), 12, size.second));
        refused.push_back(rawHeader + ByteWriter().u32(size.first).u32(size.second).bytes() +
                          std::string(64, '\1'));
    }
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_FALSE(decode('x', refused[i]).ok) << i;
    }
}
