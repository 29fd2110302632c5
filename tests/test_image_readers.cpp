// The GL-free image decoders (BMP, TGA, txf) and the txf encoder: real files made by
// ImageMagick during the run, hand-built edge cases, and hostile headers.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <streambuf>
#include <string>

#include "resources/image_readers.h"
#include "support/image_files.h"
#include "support/test_support.h"

using image_readers::DecodedImage;
using testing_support::Bytes;
using testing_support::convertPicture;
using testing_support::flipRows;
using testing_support::makeBmp;
using testing_support::put16;
using testing_support::put32;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::set16;
using testing_support::set32;
using testing_support::testPattern;
using testing_support::toBytes;
using testing_support::toString;

namespace {

struct Outcome {
    bool ok = false;
    DecodedImage image;
    std::string messages;
    std::streampos endPosition;
};

Outcome bmp(const Bytes& file, const std::string& name = "test.bmp") {
    Outcome o;
    std::istringstream in(toString(file));
    std::ostringstream log;
    o.ok = image_readers::decodeBmp(in, name, o.image, log);
    o.messages = log.str();
    return o;
}

Outcome tga(const Bytes& file) {
    Outcome o;
    std::istringstream in(toString(file));
    std::ostringstream errors;
    o.ok = image_readers::decodeTga(in, o.image, errors);
    o.messages = errors.str();
    return o;
}

Outcome txf(const Bytes& file) {
    Outcome o;
    std::istringstream in(toString(file));
    o.ok = image_readers::decodeTxf(in, o.image);
    return o;
}

Bytes fileBytes(const std::string& path) {
    return toBytes(readFile(path));
}

void expectImage(const Outcome& o, unsigned width, unsigned height, unsigned depth,
                 const Bytes& pixels) {
    ASSERT_TRUE(o.ok) << o.messages;
    EXPECT_EQ(o.image.width, width);
    EXPECT_EQ(o.image.height, height);
    EXPECT_EQ(o.image.bitsPerPixel, depth);
    EXPECT_EQ(o.image.pixels, pixels);
}

// A stream that cannot seek or tell its size, like a pipe.
class PipeBuffer : public std::streambuf {
  public:
    explicit PipeBuffer(const Bytes& bytes) : bytes_(bytes.begin(), bytes.end()) {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

  private:
    std::vector<char> bytes_;
};

// A txf file with the given header fields, palette and codes (code width chosen by P as the
// format says).
Bytes txfFile(unsigned depth, std::uint32_t width, std::uint32_t height,
              const std::vector<Bytes>& palette, const std::vector<std::uint32_t>& codes) {
    Bytes file = {'t', 'x', 'f', 0};
    put16(file, 1);
    put16(file, depth);
    put32(file, width);
    put32(file, height);
    put32(file, static_cast<std::uint32_t>(palette.size()));
    put32(file, static_cast<std::uint32_t>(codes.size()));
    for (const Bytes& entry : palette) {
        file.insert(file.end(), entry.begin(), entry.end());
    }
    for (std::uint32_t c : codes) {
        if (palette.size() <= 255) {
            file.push_back(static_cast<std::uint8_t>(c));
        } else {
            put16(file, c);
        }
    }
    return file;
}

}  // namespace

// ---------------------------------------------------------------------------------------- BMP

TEST(BmpReader, ImageMagickFilesOfBothHeaderKindsAndDepthsGiveTheDrawnColours) {
    ScratchDirectory scratch;
    struct Case {
        unsigned width, height;
        bool alpha;
        const char* options;
        const char* target;
        bool warns;  // the stored size includes row padding
    };
    const Case cases[] = {
        // v5 header (124 bytes, pixel offset 138), 24-bit, rows of 15 bytes padded to 16.
        {5, 3, false, "", "v5.bmp", true},
        // The 40-byte header.
        {5, 3, false, "", "BMP3:v3.bmp", true},
        {4, 2, false, "", "BMP3:even.bmp", false},
        {7, 1, false, "", "BMP3:onerow.bmp", true},
        // 32-bit v5: BI_BITFIELDS with masks R 00FF0000, G 0000FF00, B 000000FF, A FF000000.
        {5, 3, true, "", "v5alpha.bmp", false},
        // 32-bit with the 40-byte header, uncompressed: B, G, R, A.
        {5, 3, true, "-define bmp3:alpha=true", "BMP3:v3alpha.bmp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const Bytes picture = testPattern(c.width, c.height, c.alpha);
        ASSERT_TRUE(convertPicture(c.width, c.height, c.alpha, picture, c.options, c.target));
        std::string path = c.target;
        path = path.substr(path.find(':') + 1);
        const Outcome o = bmp(fileBytes(path), path);
        const unsigned bpp = c.alpha ? 4 : 3;
        expectImage(o, c.width, c.height, bpp * 8, flipRows(picture, c.width, c.height, bpp));
        EXPECT_EQ(
            o.messages,
            c.warns ? "Possibly corrupt image " + path + " (BmpDataSize doesn't match)\n" : "");
    }
}

TEST(BmpReader, ImageMagickBitfieldsHeaderIsWhatTheTestAssumes) {
    ScratchDirectory scratch;
    ASSERT_TRUE(convertPicture(2, 2, true, testPattern(2, 2, true), "", "x.bmp"));
    const Bytes file = fileBytes("x.bmp");
    ASSERT_GE(file.size(), 70u);
    EXPECT_EQ(file[14], 124);  // v5 header
    EXPECT_EQ(file[30], 3);    // BI_BITFIELDS
}

TEST(BmpReader, TopDownRowsAreFlippedIntoBottomUpOrder) {
    const Bytes rows = testPattern(5, 4, false);  // taken as bottom row first
    const Outcome bottomUp = bmp(makeBmp(5, 4, 24, rows, false));
    const Outcome topDown = bmp(makeBmp(5, 4, 24, rows, true));
    expectImage(bottomUp, 5, 4, 24, rows);
    expectImage(topDown, 5, 4, 24, rows);
}

TEST(BmpReader, ImageSizeZeroIsComputedWithoutAWarning) {
    Bytes file = makeBmp(5, 3, 24, testPattern(5, 3, false));
    set32(file, 34, 0);
    const Outcome o = bmp(file);
    expectImage(o, 5, 3, 24, testPattern(5, 3, false));
    EXPECT_EQ(o.messages, "");
}

TEST(BmpReader, ImageSizeSmallerThanThePaddedRowsIsRefusedWithALine) {
    Bytes file = makeBmp(5, 3, 24, testPattern(5, 3, false));
    set32(file, 34, 45);  // the packed size, but rows are 16 bytes in the file
    Outcome o = bmp(file, "small.bmp");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.messages,
              "Refused image small.bmp (BmpDataSize 45 is smaller than its 3 rows of 16 bytes)\n");
    set32(file, 34, 10);
    o = bmp(file, "small.bmp");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.messages,
              "Possibly corrupt image small.bmp (BmpDataSize doesn't match)\n"
              "Refused image small.bmp (BmpDataSize 10 is smaller than its 3 rows of 16 bytes)\n");
    EXPECT_TRUE(o.image.pixels.empty());
}

TEST(BmpReader, LargerImageSizeOnlyWarnsAndReadsTheRows) {
    Bytes file = makeBmp(4, 2, 24, testPattern(4, 2, false));
    set32(file, 34, 1000);
    const Outcome o = bmp(file, "big.bmp");
    expectImage(o, 4, 2, 24, testPattern(4, 2, false));
    EXPECT_EQ(o.messages, "Possibly corrupt image big.bmp (BmpDataSize doesn't match)\n");
}

TEST(BmpReader, OtherDepthsAndCompressionsAreRefusedSilently) {
    ScratchDirectory scratch;
    const Bytes picture = testPattern(4, 4, false);
    ASSERT_TRUE(convertPicture(4, 4, false, picture, "-type Palette", "BMP3:eight.bmp"));
    ASSERT_TRUE(convertPicture(4, 4, false, picture, "-define bmp:subtype=RGB565", "sixteen.bmp"));
    ASSERT_TRUE(
        convertPicture(4, 4, false, picture, "-type Palette -compress RLE", "BMP3:rle.bmp"));
    for (const char* name : {"eight.bmp", "sixteen.bmp", "rle.bmp"}) {
        const Outcome o = bmp(fileBytes(name));
        EXPECT_FALSE(o.ok) << name;
        EXPECT_EQ(o.messages, "") << name;
    }
    // Bitfields at 24 bits, and 32-bit bitfields whose masks do not pick whole bytes.
    Bytes file = makeBmp(2, 2, 24, testPattern(2, 2, false));
    set32(file, 30, 3);
    EXPECT_FALSE(bmp(file).ok);
    Bytes odd = makeBmp(2, 2, 32, testPattern(2, 2, true));
    set32(odd, 30, 3);
    odd.insert(odd.begin() + 54, 12, 0);
    set32(odd, 10, 66);
    set32(odd, 54, 0x7C00);
    set32(odd, 58, 0x03E0);
    set32(odd, 62, 0x001F);
    EXPECT_FALSE(bmp(odd).ok);
    // The same with byte masks in another order (A, B, G, R from the low byte): accepted.
    set32(odd, 54, 0xFF000000);
    set32(odd, 58, 0x00FF0000);
    set32(odd, 62, 0x0000FF00);
    const Outcome permuted = bmp(odd);
    ASSERT_TRUE(permuted.ok);
    // makeBmp stored B, G, R, A; read with R in byte 3, G in 2, B in 1 and A in 0.
    const Bytes pattern = testPattern(2, 2, true);
    EXPECT_EQ(permuted.image.pixels[0], pattern[3]);
    EXPECT_EQ(permuted.image.pixels[1], pattern[0]);
    EXPECT_EQ(permuted.image.pixels[2], pattern[1]);
    EXPECT_EQ(permuted.image.pixels[3], pattern[2]);
    EXPECT_FALSE(bmp(toBytes("BA")).ok);
    EXPECT_FALSE(bmp(toBytes("")).ok);
}

TEST(BmpReader, CoreHeaderIsRefusedWithALine) {
    ScratchDirectory scratch;
    ASSERT_TRUE(convertPicture(5, 3, false, testPattern(5, 3, false), "", "BMP2:core.bmp"));
    const Outcome o = bmp(fileBytes("core.bmp"), "core.bmp");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.messages, "Unsupported image core.bmp (BMP header of 12 bytes)\n");
}

TEST(BmpReader, PixelOffsetInsideTheHeaderIsRefusedWithALine) {
    Bytes file = makeBmp(2, 2, 24, testPattern(2, 2, false));
    set32(file, 10, 40);
    set32(file, 34, 0);
    const Outcome o = bmp(file, "o.bmp");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.messages, "Corrupt image o.bmp (BMP pixel offset 40 lies inside its headers)\n");
    // Bitfields with a 40-byte header: the three masks must lie before the pixels as well.
    file = makeBmp(2, 2, 32, testPattern(2, 2, true));
    set32(file, 34, 0);
    set32(file, 30, 3);
    set32(file, 10, 60);
    EXPECT_EQ(bmp(file, "o.bmp").messages,
              "Corrupt image o.bmp (BMP pixel offset 60 lies inside its headers)\n");
    // A larger offset is skipped over, relative to the header's end.
    Bytes gap = makeBmp(2, 2, 24, testPattern(2, 2, false));
    gap.insert(gap.begin() + 54, 100, 0xEE);
    set32(gap, 10, 154);
    expectImage(bmp(gap), 2, 2, 24, testPattern(2, 2, false));
}

TEST(BmpReader, LyingSizesAreRefusedBeforeAllocating) {
    const Bytes valid = makeBmp(3, 3, 32, testPattern(3, 3, true));
    struct Case {
        std::int32_t width, height;
        const char* message;
    };
    const Case cases[] = {
        {0, 3, "Corrupt image h.bmp (BMP size 0 x 3)\n"},
        {-3, 3, "Corrupt image h.bmp (BMP size -3 x 3)\n"},
        {3, 0, "Corrupt image h.bmp (BMP size 3 x 0)\n"},
        {INT32_MAX, INT32_MAX,
         "Refused image h.bmp (BMP of 2147483647 x 2147483647 pixels is too large)\n"},
        {INT32_MAX, INT32_MIN,
         "Refused image h.bmp (BMP of 2147483647 x 2147483648 pixels is too large)\n"},
        {65536, 65536, "Refused image h.bmp (BMP of 65536 x 65536 pixels is too large)\n"},
        // Within the pixel limit, but far more than the file holds: refused silently as a short
        // read, before the 64 MB are allocated.
        {4096, 4096, "Possibly corrupt image h.bmp (BmpDataSize doesn't match)\n"},
        {4096, -4096, "Possibly corrupt image h.bmp (BmpDataSize doesn't match)\n"},
    };
    for (const Case& c : cases) {
        Bytes file = valid;
        set32(file, 18, static_cast<std::uint32_t>(c.width));
        set32(file, 22, static_cast<std::uint32_t>(c.height));
        set32(file, 34, 36);
        if (c.width == 4096) {
            set32(file, 34, 0x4000001);
        }
        const Outcome o = bmp(file, "h.bmp");
        EXPECT_FALSE(o.ok) << c.width << " x " << c.height;
        EXPECT_EQ(o.messages, c.message) << c.width << " x " << c.height;
        EXPECT_TRUE(o.image.pixels.empty());
    }
    // A huge header size or pixel offset.
    Bytes file = valid;
    set32(file, 14, 0xFFFFFFF0);
    EXPECT_FALSE(bmp(file).ok);
    file = valid;
    set32(file, 10, 0xFFFFFFFF);
    EXPECT_FALSE(bmp(file).ok);
}

TEST(BmpReader, EveryTruncationIsRefused) {
    const Bytes file = makeBmp(5, 3, 24, testPattern(5, 3, false));
    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_FALSE(bmp(Bytes(file.begin(), file.begin() + length)).ok) << length;
    }
    EXPECT_TRUE(bmp(file).ok);
}

TEST(BmpReader, ReadsFromAStreamThatCannotSeek) {
    const Bytes file = makeBmp(5, 3, 24, testPattern(5, 3, false));
    PipeBuffer buffer(file);
    std::istream in(&buffer);
    DecodedImage image;
    std::ostringstream log;
    ASSERT_TRUE(image_readers::decodeBmp(in, "p.bmp", image, log));
    EXPECT_EQ(image.pixels, testPattern(5, 3, false));
    PipeBuffer shortBuffer(Bytes(file.begin(), file.end() - 1));
    std::istream shortIn(&shortBuffer);
    EXPECT_FALSE(image_readers::decodeBmp(shortIn, "p.bmp", image, log));
}

TEST(BmpReader, ReadingStartsAtTheStreamPosition) {
    Bytes file = toBytes("prefix");
    const Bytes image = makeBmp(2, 2, 24, testPattern(2, 2, false));
    file.insert(file.end(), image.begin(), image.end());
    std::istringstream in(toString(file));
    in.seekg(6);
    DecodedImage decoded;
    std::ostringstream log;
    ASSERT_TRUE(image_readers::decodeBmp(in, "x", decoded, log));
    EXPECT_EQ(decoded.pixels, testPattern(2, 2, false));
}

// ---------------------------------------------------------------------------------------- TGA

TEST(TgaReader, ImageMagickFilesGiveTheDrawnColours) {
    ScratchDirectory scratch;
    struct Case {
        bool alpha;
        const char* options;
        const char* target;
        int imageType;
    };
    const Case cases[] = {
        {false, "-type TrueColor", "plain.tga", 2},
        {true, "-type TrueColorAlpha", "alpha.tga", 2},
        {false, "-type TrueColor -compress RLE", "rle.tga", 10},
        {true, "-type TrueColorAlpha -compress RLE", "rlealpha.tga", 10},
        {false, "-type Palette", "mapped.tga", 1},
        {false, "-type Palette -compress RLE", "mappedrle.tga", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const Bytes picture = testPattern(5, 3, c.alpha);
        ASSERT_TRUE(convertPicture(5, 3, c.alpha, picture, c.options, c.target));
        const Bytes file = fileBytes(c.target);
        ASSERT_GT(file.size(), 18u);
        EXPECT_EQ(file[2], c.imageType);
        const unsigned bpp = c.alpha ? 4 : 3;
        // The origin bits are ignored: rows stay in file order. ImageMagick 6 writes the rows
        // in the picture's order, top row first, whatever origin bit it sets.
        expectImage(tga(file), 5, 3, bpp * 8, picture);
    }
}

TEST(TgaReader, RunLengthFromUniformImagesAndLongRuns) {
    ScratchDirectory scratch;
    // 300 x 2 of one colour: runs of 128 and the rest, per row.
    ASSERT_TRUE(
        testing_support::runConvert("-size 300x2 xc:'rgb(10,20,30)' -type TrueColor "
                                    "-compress RLE uniform.tga"));
    const Outcome o = tga(fileBytes("uniform.tga"));
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.image.pixels.size(), 300u * 2 * 3);
    for (std::size_t i = 0; i < o.image.pixels.size(); i += 3) {
        ASSERT_EQ(o.image.pixels[i], 10);
        ASSERT_EQ(o.image.pixels[i + 1], 20);
        ASSERT_EQ(o.image.pixels[i + 2], 30);
    }
}

namespace {

Bytes tgaHeader(int type, unsigned width, unsigned height, unsigned depth, int mapType = 0,
                unsigned mapFirst = 0, unsigned mapLength = 0, unsigned entrySize = 0,
                unsigned idLength = 0) {
    Bytes h = {static_cast<std::uint8_t>(idLength), static_cast<std::uint8_t>(mapType),
               static_cast<std::uint8_t>(type)};
    put16(h, mapFirst);
    put16(h, mapLength);
    h.push_back(static_cast<std::uint8_t>(entrySize));
    put16(h, 0);
    put16(h, 0);
    put16(h, width);
    put16(h, height);
    h.push_back(static_cast<std::uint8_t>(depth));
    h.push_back(0);
    return h;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(TgaReader, PacketHeaders0x80And0x00EachGiveOnePixel) {
    // 0x80: a run of one; 0x00: a raw packet of one; then a run of two.
    const Bytes file = tgaHeader(10, 4, 1, 24) + Bytes{0x80, 1, 2, 3, 0x00, 4, 5, 6, 0x81, 7, 8, 9};
    expectImage(tga(file), 4, 1, 24, Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7});
}

TEST(TgaReader, PacketsStopAtTheEndOfTheImage) {
    // A run of 128 and a raw packet of 3 into a 2-pixel image.
    expectImage(tga(tgaHeader(10, 2, 1, 24) + Bytes{0xFF, 1, 2, 3}), 2, 1, 24,
                Bytes{3, 2, 1, 3, 2, 1});
    expectImage(tga(tgaHeader(10, 2, 1, 24) + Bytes{0x02, 1, 2, 3, 4, 5, 6}), 2, 1, 24,
                Bytes{3, 2, 1, 6, 5, 4});
}

TEST(TgaReader, IdFieldAndColourMapOfATrueColourImageAreSkipped) {
    const Bytes file = tgaHeader(2, 1, 1, 24, 1, 0, 2, 24, 3) + Bytes{'a', 'b', 'c'} +
                       Bytes{9, 9, 9, 8, 8, 8} + Bytes{1, 2, 3};
    expectImage(tga(file), 1, 1, 24, Bytes{3, 2, 1});
}

TEST(TgaReader, ColourMappedWithSixteenBitIndicesAndAMapOrigin) {
    // Map entries for indices 5 and 6 (first entry 5), 32-bit B, G, R, A.
    Bytes file = tgaHeader(1, 3, 1, 16, 1, 5, 2, 32) + Bytes{1, 2, 3, 4, 5, 6, 7, 8};
    put16(file, 6);
    put16(file, 5);
    put16(file, 6);
    expectImage(tga(file), 3, 1, 32, Bytes{7, 6, 5, 8, 3, 2, 1, 4, 7, 6, 5, 8});
    // An index outside the map is refused.
    Bytes outside = tgaHeader(1, 1, 1, 8, 1, 5, 2, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{7};
    EXPECT_FALSE(tga(outside).ok);
    Bytes below = tgaHeader(1, 1, 1, 8, 1, 5, 2, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{4};
    EXPECT_FALSE(tga(below).ok);
    // No colour map at all.
    EXPECT_FALSE(tga(tgaHeader(1, 1, 1, 8, 0, 0, 0, 24) + Bytes{0}).ok);
}

TEST(TgaReader, TypeMessagesGoToTheErrorStream) {
    struct Case {
        Bytes file;
        const char* message;
    };
    const Case cases[] = {
        {tgaHeader(3, 2, 2, 8) + Bytes(4, 0), "  This program can't read IMAGE_TYPE 3 files.\n"},
        {tgaHeader(11, 2, 2, 8) + Bytes(4, 0), "  This program can't read IMAGE_TYPE 11 files.\n"},
        {tgaHeader(8, 2, 2, 24), "  Illegal value of IMAGE_TYPE = 8.\n"},
        {tgaHeader(200, 2, 2, 24), "  Illegal value of IMAGE_TYPE = 200.\n"},
        {tgaHeader(10, 2, 2, 15),
         "  This program can't read IMAGE_TYPE 10 without the image pixel depth a multiple of "
         "1Byte.\n"},
        {tgaHeader(1, 2, 2, 8, 1, 0, 1, 15) + Bytes{0, 0},
         "  This program can't read IMAGE_TYPE 1 without both the image pixel depth and color "
         "map entry size multiples of 1Byte.\n"},
        {tgaHeader(9, 2, 2, 4, 1, 0, 1, 24) + Bytes{0, 0, 0},
         "  This program can't read IMAGE_TYPE 9 without both the image pixel depth and color "
         "map entry size multiples of 1Byte.\n"},
        {tgaHeader(0, 2, 2, 24), ""},
        // Depths other than 24 and 32 end the read with no message.
        {tgaHeader(2, 2, 2, 16) + Bytes(8, 0), ""},
        {tgaHeader(10, 2, 2, 8) + Bytes(8, 0), ""},
    };
    for (const Case& c : cases) {
        const Outcome o = tga(c.file);
        EXPECT_FALSE(o.ok) << c.message;
        EXPECT_EQ(o.messages, c.message);
    }
    ScratchDirectory scratch;
    ASSERT_TRUE(testing_support::runConvert("-size 4x4 xc:gray50 -type Grayscale grey.tga"));
    const Outcome grey = tga(fileBytes("grey.tga"));
    EXPECT_FALSE(grey.ok);
    EXPECT_EQ(grey.messages, "  This program can't read IMAGE_TYPE 3 files.\n");
}

TEST(TgaReader, LyingSizesAndTruncationsAreRefused) {
    // 65535 x 65535 is over the pixel limit; 4000 x 4000 from a few bytes cannot be expanded.
    const Outcome huge = tga(tgaHeader(2, 65535, 65535, 32) + Bytes(16, 0));
    EXPECT_FALSE(huge.ok);
    EXPECT_EQ(huge.messages, "  This program can't read images of more than 16777216 pixels.\n");
    EXPECT_FALSE(tga(tgaHeader(2, 4000, 4000, 32) + Bytes(16, 0)).ok);
    EXPECT_FALSE(tga(tgaHeader(10, 4000, 4000, 32) + Bytes{0xFF, 1, 2, 3, 4}).ok);
    EXPECT_FALSE(tga(tgaHeader(9, 4000, 4000, 8, 1, 0, 1, 24) + Bytes{1, 2, 3, 0xFF, 0}).ok);
    EXPECT_FALSE(tga(tgaHeader(2, 0, 5, 24)).ok);
    // A colour map longer than the file.
    EXPECT_FALSE(tga(tgaHeader(2, 1, 1, 24, 1, 0, 65535, 32) + Bytes(3, 0)).ok);

    ScratchDirectory scratch;
    for (const char* options : {"-type TrueColor", "-type TrueColorAlpha -compress RLE",
                                "-type Palette -compress RLE", "-type Palette"}) {
        const bool alpha = std::string(options).find("Alpha") != std::string::npos;
        ASSERT_TRUE(convertPicture(5, 3, alpha, testPattern(5, 3, alpha), options, "t.tga"));
        const Bytes file = fileBytes("t.tga");
        for (std::size_t length = 0; length < file.size(); ++length) {
            const Outcome o = tga(Bytes(file.begin(), file.begin() + length));
            EXPECT_FALSE(o.ok) << options << " " << length;
        }
        EXPECT_TRUE(tga(file).ok) << options;
    }
}

// ---------------------------------------------------------------------------------------- txf

TEST(TxfFormat, RawAndPaletteFilesDecode) {
    Bytes raw = {'t', 'x', 'f', 0};
    put16(raw, 0);
    put16(raw, 24);
    put32(raw, 2);
    put32(raw, 1);
    raw = raw + Bytes{1, 2, 3, 4, 5, 6};
    expectImage(txf(raw), 2, 1, 24, Bytes{1, 2, 3, 4, 5, 6});

    // Palette A, B: codes A, run of 4 A in all, B, A.
    const Bytes file = txfFile(24, 7, 1, {{1, 1, 1}, {2, 2, 2}}, {1, 0, 4, 2, 1, 1});
    expectImage(txf(file), 7, 1, 24,
                Bytes{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1});
    // Chained runs: each count includes the last pixel written before its marker.
    expectImage(txf(txfFile(32, 5, 1, {{9, 8, 7, 6}}, {1, 0, 3, 0, 3})), 5, 1, 32,
                Bytes{9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6});
}

TEST(TxfFormat, EncoderFormsRunsOfThreeOrMoreEqualPixels) {
    DecodedImage image;
    image.width = 8;
    image.height = 1;
    image.bitsPerPixel = 24;
    // A A A B B A A A  ->  1, 0, 3, 2, 2, 1, 0, 3
    for (int p : {0, 0, 0, 1, 1, 0, 0, 0}) {
        image.pixels.insert(image.pixels.end(), {std::uint8_t(p), 0, 0});
    }
    const Bytes file = image_readers::encodeTxf(image);
    const Bytes expected = txfFile(24, 8, 1, {{0, 0, 0}, {1, 0, 0}}, {1, 0, 3, 2, 2, 1, 0, 3});
    EXPECT_EQ(file, expected);

    // One colour: one palette entry.
    DecodedImage single;
    single.width = 3;
    single.height = 1;
    single.bitsPerPixel = 32;
    single.pixels = Bytes(12, 200);
    const Bytes one = image_readers::encodeTxf(single);
    EXPECT_EQ(one, txfFile(32, 3, 1, {{200, 200, 200, 200}}, {1, 0, 3}));

    // Nothing to encode.
    EXPECT_TRUE(image_readers::encodeTxf(DecodedImage{}).empty());
}

namespace {

// A random image of `pixelCount` pixels drawn from `colours` colours, in runs of random length
// (some very long when `longRuns`).
DecodedImage randomImage(std::mt19937& random, unsigned width, unsigned height, unsigned depth,
                         unsigned colours, bool longRuns) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = depth;
    const std::size_t count = std::size_t{width} * height;
    std::vector<Bytes> palette;
    for (unsigned c = 0; c < colours; ++c) {
        Bytes entry;
        for (unsigned b = 0; b < depth / 8; ++b) {
            entry.push_back(static_cast<std::uint8_t>(c >> (8 * b)));
        }
        palette.push_back(entry);
    }
    std::size_t done = 0;
    unsigned next = 0;
    while (done < count) {
        // Every colour once, in single pixels, then runs of random colours.
        std::size_t run = 1;
        unsigned colour = next;
        if (next < colours) {
            ++next;
        } else {
            colour = random() % colours;
            run = 1 + random() % 4;
            if (longRuns && random() % 8 == 0) {
                run = 200 + random() % 70000;
            }
        }
        run = std::min(run, count - done);
        for (std::size_t i = 0; i < run; ++i) {
            image.pixels.insert(image.pixels.end(), palette[colour].begin(), palette[colour].end());
        }
        done += run;
    }
    return image;
}

}  // namespace

TEST(TxfFormat, RandomImagesSurviveTheRoundTrip) {
    std::mt19937 random(20261206);
    struct Case {
        unsigned width, height, colours;
        bool longRuns;
        int compression;
        int codeBytes;
    };
    const Case cases[] = {
        {1, 1, 1, false, 1, 1},         {2, 1, 1, false, 1, 1},
        {3, 1, 1, false, 1, 1},         {17, 13, 5, false, 1, 1},
        {64, 64, 255, false, 1, 1},     {100, 30, 3, true, 1, 1},
        {500, 400, 256, false, 1, 2},   {700, 300, 1000, true, 1, 2},
        {1000, 300, 40, true, 1, 1},    {400, 400, 65535, false, 1, 2},
        {300, 240, 65536, false, 0, 0}, {512, 300, 70000, true, 0, 0},
    };
    for (const Case& c : cases) {
        for (unsigned depth : {24u, 32u}) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " colours " +
                         std::to_string(c.colours) + " depth " + std::to_string(depth));
            const DecodedImage image =
                randomImage(random, c.width, c.height, depth, c.colours, c.longRuns);
            const Bytes file = image_readers::encodeTxf(image);
            ASSERT_GE(file.size(), 16u);
            EXPECT_EQ(file[4], c.compression);
            if (c.compression == 1) {
                const std::uint32_t paletteSize =
                    file[16] | (file[17] << 8) | (file[18] << 16) | (file[19] << 24);
                EXPECT_EQ(paletteSize, c.colours);
                EXPECT_EQ(paletteSize <= 255 ? 1 : 2, c.codeBytes);
            }
            expectImage(txf(file), c.width, c.height, depth, image.pixels);
        }
    }
}

TEST(TxfFormat, RunsLongerThanTheLongestCountAreSplit) {
    for (unsigned length :
         {254u, 255u, 256u, 257u, 509u, 510u, 511u, 65535u, 65536u, 65537u, 200000u}) {
        for (unsigned colours : {1u, 300u}) {
            DecodedImage image;
            image.width = length + colours - 1;
            image.height = 1;
            image.bitsPerPixel = 24;
            image.pixels.assign(std::size_t{length} * 3, 7);
            for (unsigned c = 1; c < colours; ++c) {
                image.pixels.insert(image.pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), 1});
            }
            const Bytes file = image_readers::encodeTxf(image);
            expectImage(txf(file), image.width, 1, 24, image.pixels);
        }
    }
}

TEST(TxfFormat, CodesThatDoNotFillTheImageExactlyAreRefused) {
    const std::vector<Bytes> palette = {{1, 2, 3}, {4, 5, 6}};
    EXPECT_TRUE(txf(txfFile(24, 4, 1, palette, {1, 0, 3, 2})).ok);
    // Run marker first, last, with a zero count.
    EXPECT_FALSE(txf(txfFile(24, 3, 1, palette, {0, 3, 1})).ok);
    EXPECT_FALSE(txf(txfFile(24, 2, 1, palette, {1, 2, 0})).ok);
    EXPECT_FALSE(txf(txfFile(24, 2, 1, palette, {1, 0, 0, 2})).ok);
    // A run beyond the image, codes beyond the image, too few codes.
    EXPECT_FALSE(txf(txfFile(24, 4, 1, palette, {1, 0, 5})).ok);
    EXPECT_FALSE(txf(txfFile(24, 1, 1, palette, {1, 0, 255})).ok);
    EXPECT_FALSE(txf(txfFile(24, 2, 1, palette, {1, 2, 1})).ok);
    EXPECT_FALSE(txf(txfFile(24, 4, 1, palette, {1, 2})).ok);
    // Palette index beyond the palette; a code with no palette.
    EXPECT_FALSE(txf(txfFile(24, 2, 1, palette, {1, 3})).ok);
    EXPECT_FALSE(txf(txfFile(24, 1, 1, {}, {1})).ok);
    // Sixteen-bit codes past the end of a palette of 300.
    std::vector<Bytes> big(300, Bytes{1, 1, 1});
    EXPECT_TRUE(txf(txfFile(24, 1, 1, big, {300})).ok);
    EXPECT_FALSE(txf(txfFile(24, 1, 1, big, {301})).ok);
    EXPECT_FALSE(txf(txfFile(24, 1, 1, big, {65535})).ok);
}

TEST(TxfFormat, BadHeadersAndTruncationsAreRefused) {
    const Bytes good = txfFile(32, 3, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {1, 2, 0, 3, 1, 2});
    ASSERT_TRUE(txf(good).ok);
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(txf(Bytes(good.begin(), good.begin() + length)).ok) << length;
    }
    Bytes file = good;
    file[3] = 'x';
    EXPECT_FALSE(txf(file).ok);
    file = good;
    set16(file, 6, 16);
    EXPECT_FALSE(txf(file).ok);
    file = good;
    set16(file, 4, 2);
    EXPECT_FALSE(txf(file).ok);
    // Sizes far beyond the file: width x height over the limit, or over what the codes give.
    for (auto size : {std::pair<std::uint32_t, std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF},
                      {0xFFFFFFFF, 1},
                      {4096, 4096},
                      {0, 5},
                      {5, 0}}) {
        file = good;
        set32(file, 8, size.first);
        set32(file, 12, size.second);
        EXPECT_FALSE(txf(file).ok) << size.first << " x " << size.second;
        Bytes raw = {'t', 'x', 'f', 0};
        put16(raw, 0);
        put16(raw, 32);
        put32(raw, size.first);
        put32(raw, size.second);
        raw = raw + Bytes(64, 1);
        EXPECT_FALSE(txf(raw).ok) << size.first << " x " << size.second;
    }
    // Palette and code counts far beyond the file.
    file = good;
    set32(file, 16, 0xFFFFFFFF);
    EXPECT_FALSE(txf(file).ok);
    file = good;
    set32(file, 20, 0xFFFFFFFF);
    EXPECT_FALSE(txf(file).ok);
}
