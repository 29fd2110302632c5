// The GL-free image decoders (BMP, TGA, txf) and the txf encoder: files made by ImageMagick
// during the run, hand-built edge cases and hostile headers. Truncated files are left to the
// fuzz harnesses.
#include <gtest/gtest.h>

#include <random>

#include "resources/image_readers.h"
#include "support/image_files.h"
#include "support/test_support.h"

using image_readers::DecodedImage;
using namespace testing_support;

struct Outcome {
    bool ok = false;
    DecodedImage image;
    std::string messages;
};

// Decodes `file` as 'b'mp (named "i.bmp" in its lines), 't'ga or 'x' (txf).
static Outcome decode(char kind, const std::string& file) {
    Outcome o;
    std::istringstream in(file);
    std::ostringstream log;
    o.ok = kind == 'b'   ? image_readers::decodeBmp(in, "i.bmp", o.image, log)
           : kind == 't' ? image_readers::decodeTga(in, o.image, log)
                         : image_readers::decodeTxf(in, o.image);
    o.messages = log.str();
    return o;
}

static void expectImage(const Outcome& o, unsigned width, unsigned height, unsigned depth,
                        const Bytes& pixels) {
    EXPECT_EQ(std::tie(o.ok, o.image.width, o.image.height, o.image.bitsPerPixel, o.image.pixels),
              std::make_tuple(true, width, height, depth, pixels))
        << o.messages;
}

static const auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
static const auto raw = [](std::initializer_list<int> b) {
    return std::string(b.begin(), b.end());
};
static const std::string warning = "Possibly corrupt image i.bmp (BmpDataSize doesn't match)\n";

TEST(ImageReaders, ImageMagickFilesGiveTheDrawnColoursOrAreRefused) {
    // Width, alpha, options, file, messages ("-": refused silently); 8 rows, so that the pixels
    // of a 5-wide 24-bit file end where the allocation does. BmpDataSize warns when it
    // counts the rows' padding; the v5 header is 124 bytes, with bitfield masks at 32 bits.
    // ImageMagick writes TGA rows top first, and the reader keeps file order.
    // clang-format off
    const std::tuple<unsigned, bool, const char*, const char*, std::string> cases[] = {
        {5, false, "", "v5.bmp", warning}, {5, false, "", "BMP3:v3.bmp", warning},
        {4, false, "", "BMP3:even.bmp", ""}, {5, true, "", "v5alpha.bmp", ""},
        {5, true, "-define bmp3:alpha=true", "BMP3:v3alpha.bmp", ""},
        {5, false, "", "BMP2:core.bmp", "Unsupported image i.bmp (BMP header of 12 bytes)\n"},
        {4, false, "-type Palette", "BMP3:eight.bmp", "-"},
        {4, false, "-define bmp:subtype=RGB565", "sixteen.bmp", "-"},
        {4, false, "-type Palette -compress RLE", "BMP3:rle.bmp", "-"},
        {5, false, "-type TrueColor", "t.tga", ""}, {5, true, "-type TrueColorAlpha", "t.tga", ""},
        {5, false, "-type TrueColor -compress RLE", "t.tga", ""},
        {5, true, "-type TrueColorAlpha -compress RLE", "t.tga", ""},
        {5, false, "-type Palette", "t.tga", ""},
        {5, false, "-type Palette -compress RLE", "t.tga", ""}};
    // clang-format on
    for (const auto& [width, alpha, options, target, messages] : cases) {
        SCOPED_TRACE(std::string(target) + " " + options);
        const Bytes picture = testPattern(width, 8, alpha);
        ASSERT_TRUE(convertPicture(width, 8, alpha, picture, options, target));
        const char* path = std::strchr(target, ':') ? std::strchr(target, ':') + 1 : target;
        const bool bmp = std::string(path).find(".bmp") != std::string::npos;
        const Outcome o = decode(bmp ? 'b' : 't', readFile(path));
        const bool refused = messages.find("Unsupported") == 0 || messages == "-";
        EXPECT_EQ(std::make_pair(o.ok, o.messages),
                  std::make_pair(!refused, messages == "-" ? "" : messages));
        if (!refused)
            expectImage(o, width, 8, alpha ? 32 : 24,
                        bmp ? flipRows(picture, width, 8, alpha ? 4 : 3) : picture);
    }
}

TEST(BmpReader, HandBuiltHeaders) {
    const Bytes rows = testPattern(5, 3, false);
    // Rows of 15 bytes stored as 16; no image size in the header: computed.
    const std::string b = patch32(text(makeBmp(5, 3, 24, rows)), 34, 0);
    // A pixel offset past the headers skips the gap; top-down rows come bottom first.
    const std::string gap = patch32(b.substr(0, 54) + std::string(100, 1) + b.substr(54), 10, 154);
    for (const std::string& file : {b, gap, text(makeBmp(5, 3, 24, rows, true))})
        expectImage(decode('b', file), 5, 3, 24, rows);
    const std::string b32 =
        patch32(text(makeBmp(3, 3, 32, testPattern(3, 3, true))), 34, (1 << 26) + 1);
    auto size = [&](std::int32_t width, std::int32_t height) {
        return patch32(patch32(b32, 18, std::uint32_t(width)), 22, std::uint32_t(height));
    };
    const std::string inside = "Corrupt image i.bmp (BMP pixel offset ";
    const std::string large = "Refused image i.bmp (BMP of ";
    const std::string rowsOf = " is smaller than its 3 rows of 16 bytes)\n";
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {patch32(b, 34, 1000), warning},  // accepted
        {patch32(b, 34, 45), "Refused image i.bmp (BmpDataSize 45" + rowsOf},
        {patch32(b, 34, 10), warning + "Refused image i.bmp (BmpDataSize 10" + rowsOf},
        {patch32(b, 10, 40), inside + "40 lies inside its headers)\n"},
        // With bitfields and a 40-byte header the three masks lie before the pixels too.
        {patch32(patch32(patch32(b32, 34, 0), 30, 3), 10, 60),
         inside + "60 lies inside its headers)\n"},
        {patch32(b, 14, 0xFFFFFFF0), inside + "54 lies inside its headers)\n"},
        {patch32(b, 10, 0xFFFFFFFF), ""}, {patch32(b, 30, 3), ""}, {"BA", ""},
        {size(-3, 3), "Corrupt image i.bmp (BMP size -3 x 3)\n"},
        {size(3, 0), "Corrupt image i.bmp (BMP size 3 x 0)\n"},
        {size(INT32_MAX, INT32_MIN), large + "2147483647 x 2147483648 pixels is too large)\n"},
        {size(65536, 65536), large + "65536 x 65536 pixels is too large)\n"},
        // Within the pixel limit but far beyond the file: a short read, before allocating.
        {size(4096, -4096), warning}};
    // clang-format on
    for (const auto& [file, messages] : cases)
        EXPECT_EQ(std::make_pair(decode('b', file).ok, decode('b', file).messages),
                  std::make_pair(&file == &cases[0].first, messages));
    // Bitfield masks must each pick a different whole byte; read here as A, B, G, R.
    const Bytes pattern = testPattern(2, 2, true);
    auto masked = [&](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        const std::string plain = text(makeBmp(2, 2, 32, pattern));
        const std::string masks = ByteWriter().u32(r).u32(g).u32(b).bytes();
        return patch32(patch32(plain.substr(0, 54) + masks + plain.substr(54), 30, 3), 10, 66);
    };
    EXPECT_FALSE(decode('b', masked(0x7C00, 0x03E0, 0x001F)).ok ||
                 decode('b', masked(0xFF00, 0xFF00, 0xFF)).ok);
    const Bytes o = decode('b', masked(0xFF000000, 0x00FF0000, 0x0000FF00)).image.pixels;
    EXPECT_EQ(Bytes(o.begin(), o.begin() + std::min<std::size_t>(o.size(), 4)),
              (Bytes{pattern[3], pattern[0], pattern[1], pattern[2]}));
}

TEST(TgaReader, HandBuiltFilesAndTheirMessages) {
    auto tga = [](int type, unsigned width, unsigned depth, int mapType = 0, unsigned first = 0,
                  unsigned length = 0, unsigned entry = 0, unsigned idLength = 0) {
        ByteWriter h;
        h.u8(idLength).u8(mapType).u8(type).u16(first).u16(length).u8(entry).u32(0);
        return h.u16(width).u16(width == 65535 ? width : 1).u8(depth).u8(0).bytes();
    };
    // clang-format off
    // 0x80 a run of one, 0x00 a raw packet of one, then a run of two; packets stop at the end
    // of the image; the id field and the colour map of a true-colour image are skipped;
    // sixteen-bit indices 6, 5, 6 into a map of 32-bit entries from index 5 on.
    const std::pair<std::string, Bytes> decoded[] = {
        {tga(10, 4, 24) + raw({0x80, 1, 2, 3, 0, 4, 5, 6, 0x81, 7, 8, 9}),
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7}},
        {tga(10, 2, 24) + raw({0xFF, 1, 2, 3}), {3, 2, 1, 3, 2, 1}},
        {tga(10, 2, 24) + raw({0x02, 1, 2, 3, 4, 5, 6}), {3, 2, 1, 6, 5, 4}},
        {tga(2, 1, 24, 1, 0, 2, 24, 3) + "abc" + raw({9, 9, 9, 8, 8, 8, 1, 2, 3}), {3, 2, 1}},
        {tga(1, 3, 16, 1, 5, 2, 32) + raw({1, 2, 3, 4, 5, 6, 7, 8, 6, 0, 5, 0, 6, 0}),
         {7, 6, 5, 8, 3, 2, 1, 4, 7, 6, 5, 8}}};
    // clang-format on
    for (const auto& [file, pixels] : decoded)
        EXPECT_EQ(decode('t', file).image.pixels, pixels);
    const std::string cant = "  This program can't read IMAGE_TYPE ";
    const std::string both =
        " without both the image pixel depth and color map entry size "
        "multiples of 1Byte.\n";
    const std::string zeros(64, '\0');
    // clang-format off
    const std::pair<std::string, std::string> refused[] = {
        {tga(11, 2, 8) + zeros, cant + "11 files.\n"},
        {tga(8, 2, 24), "  Illegal value of IMAGE_TYPE = 8.\n"},
        {tga(10, 2, 15), cant + "10 without the image pixel depth a multiple of 1Byte.\n"},
        {tga(9, 2, 4, 1, 0, 1, 24) + zeros, cant + "9" + both},
        {tga(2, 65535, 32) + zeros,
         "  This program can't read images of more than 16777216 pixels.\n"},
        // Indices outside the map, no map, depths but 24 and 32, no pixels: refused silently
        // (what the bytes cannot hold is left to the fuzz harnesses).
        {tga(1, 1, 8, 1, 5, 2, 24) + raw({1, 2, 3, 4, 5, 6, 7}), ""},
        {tga(1, 1, 8, 1, 5, 2, 24) + raw({1, 2, 3, 4, 5, 6, 4}), ""},
        {tga(1, 1, 8, 0, 0, 0, 24) + zeros, ""}, {tga(0, 2, 24) + zeros, ""},
        {tga(2, 2, 16) + zeros, ""}, {tga(10, 2, 8) + zeros, ""}, {tga(2, 0, 24) + zeros, ""}};
    // clang-format on
    for (const auto& [file, messages] : refused)
        EXPECT_EQ(std::make_pair(decode('t', file).ok, decode('t', file).messages),
                  std::make_pair(false, messages));
}

// A txf file with the given header fields, palette and codes (a byte each for palettes of up
// to 255 entries, two bytes otherwise).
static std::string txf(unsigned depth, std::uint32_t width, const std::vector<Bytes>& palette,
                       const std::vector<std::uint32_t>& codes, std::uint32_t height = 1) {
    ByteWriter file;
    file.text(raw({'t', 'x', 'f', 0})).u16(1).u16(depth).u32(width).u32(height);
    file.u32(std::uint32_t(palette.size())).u32(std::uint32_t(codes.size()));
    for (const Bytes& entry : palette)
        file.append(entry);
    for (std::uint32_t c : codes)
        palette.size() <= 255 ? file.u8(c) : file.u16(c);
    return file.bytes();
}

static std::string rawTxf(unsigned depth) {
    return ByteWriter().text(raw({'t', 'x', 'f', 0})).u16(0).u16(depth).bytes();
}

static std::string encode(unsigned width, unsigned depth, const Bytes& pixels) {
    return text(encodeTxf(width, depth, pixels));
}

TEST(TxfFormat, FilesDecodeTheEncoderFormsRunsAndWhatDoesNotMakeTheImageIsRefused) {
    expectImage(decode('x', rawTxf(24) + raw({2, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6})), 2, 1, 24,
                {1, 2, 3, 4, 5, 6});
    // Palette A, B: codes A, run of 4 A in all, B, A.
    expectImage(decode('x', txf(24, 7, {{1, 1, 1}, {2, 2, 2}}, {1, 0, 4, 2, 1, 1})), 7, 1, 24,
                {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1});
    // Chained runs: each count includes the last pixel written before its marker.
    expectImage(decode('x', txf(32, 5, {{9, 8, 7, 6}}, {1, 0, 3, 0, 3})), 5, 1, 32,
                {9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6});
    // A A A B B A A A: runs of three or more equal pixels only.
    Bytes pixels(24, 0);
    pixels[9] = pixels[12] = 1;
    EXPECT_EQ(encode(8, 24, pixels), txf(24, 8, {{0, 0, 0}, {1, 0, 0}}, {1, 0, 3, 2, 2, 1, 0, 3}));
    EXPECT_EQ(encode(3, 32, Bytes(12, 200)), txf(32, 3, {{200, 200, 200, 200}}, {1, 0, 3}));
    EXPECT_TRUE(image_readers::encodeTxf(DecodedImage{}).empty());
    const std::vector<Bytes> two = {{1, 2, 3}, {4, 5, 6}};
    const std::vector<Bytes> big(300, Bytes{1, 1, 1});
    const std::string good = txf(32, 3, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {1, 2, 0, 3, 1, 2}, 2);
    ASSERT_TRUE(decode('x', txf(24, 4, two, {1, 0, 3, 2})).ok &&
                decode('x', txf(24, 1, big, {300})).ok && decode('x', good).ok);

    // clang-format off
    std::vector<std::string> refused = {
        // Run marker first, last, with a zero count; runs or codes beyond the image; too few.
        txf(24, 3, two, {0, 3, 1}), txf(24, 2, two, {1, 2, 0}), txf(24, 2, two, {1, 0, 0, 2}),
        txf(24, 4, two, {1, 0, 5}), txf(24, 1, two, {1, 0, 255}), txf(24, 2, two, {1, 2, 1}),
        txf(24, 4, two, {1, 2}),
        // Palette indices beyond the palette, of one and of two bytes.
        txf(24, 2, two, {1, 3}), txf(24, 1, {}, {1}), txf(24, 1, big, {301}),
        txf(24, 1, big, {65535}),
        // Magic, depth, compression; palette and code counts far beyond the file.
        good.substr(0, 3) + "x" + good.substr(4), good.substr(0, 6) + raw({16, 0}) + good.substr(8),
        good.substr(0, 4) + raw({2, 0}) + good.substr(6), patch32(good, 16, 0xFFFFFFFF),
        patch32(good, 20, 0xFFFFFFFF)};
    // Sizes over the pixel limit, empty, or beyond what the codes or bytes give.
    for (auto [width, height] : {std::pair<std::uint32_t, std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF},
                                 {0xFFFFFFFF, 1}, {4096, 4096}, {0, 5}, {5, 0}}) {
        // clang-format on
        refused.push_back(patch32(patch32(good, 8, width), 12, height));
        refused.push_back(rawTxf(32) + ByteWriter().u32(width).u32(height).bytes() +
                          std::string(64, '\1'));
    }
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_FALSE(decode('x', refused[i]).ok) << i;
}

TEST(TxfFormat, RandomImagesSurviveTheRoundTrip) {
    std::mt19937 random(20261206);
    // Width, height, colours, long runs. Palettes of up to 255 colours take one-byte codes, up
    // to 65535 two-byte codes; more are stored raw.
    // clang-format off
    const std::tuple<unsigned, unsigned, unsigned, bool> cases[] = {
        {3, 1, 1, false}, {17, 13, 5, false}, {64, 64, 255, false}, {100, 30, 3, true},
        {500, 400, 256, false}, {700, 300, 1000, true}, {400, 400, 65535, false},
        {300, 240, 65536, false}};
    // clang-format on
    for (const auto& [width, height, colours, longRuns] : cases) {
        for (unsigned depth : {24u, 32u}) {
            // Every colour once, then runs of random colours (some very long).
            Bytes pixels;
            const std::size_t size = std::size_t{width} * height * depth / 8;
            for (unsigned n = 0; pixels.size() < size; ++n) {
                const unsigned colour = n < colours ? n : random() % colours;
                std::size_t run = n < colours ? 1 : 1 + random() % 4;
                run = n >= colours && longRuns && random() % 8 == 0 ? 200 + random() % 70000 : run;
                for (std::size_t i = 0; i < run * depth / 8; ++i)
                    pixels.push_back(std::uint8_t(colour >> (8 * (i % (depth / 8)))));
            }
            pixels.resize(size);
            const std::string file = encode(width, depth, pixels);
            const bool coded = colours < 65536;
            EXPECT_EQ(file.substr(4, 1) + file.substr(16, coded ? 4 : 0),
                      std::string(1, coded) + (coded ? ByteWriter().u32(colours).bytes() : ""));
            expectImage(decode('x', file), width, height, depth, pixels);
        }
    }
}
