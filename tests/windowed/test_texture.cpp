// Textures with a real GL context: reading files and packages builds the GL texture with its
// mipmaps, uploads keep the packed rows, combineAlpha and regenerate re-upload, and the object
// factory and texture packages hand out textures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/display.h"
#include "resources/map.h"
#include "resources/object_factory.h"
#include "resources/package.h"
#include "resources/package_writer.h"
#include "resources/texture.h"
#include "resources/texture_package.h"
#include "support/image_files.h"
#include "support/test_support.h"

using testing_support::Bytes;
using testing_support::convertPicture;
using testing_support::flipRows;
using testing_support::makeBmp;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::testPattern;
using testing_support::toBytes;
using testing_support::toString;
using testing_support::writeFile;

namespace {

GLint textureLevelParameter(GLuint name, GLint level, GLenum parameter) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

// Level 0 of the GL texture as the GL holds it, rows packed.
Bytes levelZero(GLuint name, GLenum format, unsigned width, unsigned height) {
    glBindTexture(GL_TEXTURE_2D, name);
    Bytes pixels(std::size_t{width} * height * (format == GL_RGBA ? 4 : 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

image_readers::DecodedImage imageOf(unsigned width, unsigned height, unsigned depth,
                                    const Bytes& pixels) {
    image_readers::DecodedImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = depth;
    image.pixels = pixels;
    return image;
}

std::string txfOf(unsigned width, unsigned height, unsigned depth, const Bytes& pixels) {
    return toString(image_readers::encodeTxf(imageOf(width, height, depth, pixels)));
}

bool readTxfText(Texture& texture, const std::string& file) {
    std::istringstream in(file);
    return texture.readTxf(in);
}

}  // namespace

TEST(TextureGl, ReadingAFileBuildsTheGlTextureWithMipmaps) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    const Bytes picture = testPattern(5, 3, false);
    ASSERT_TRUE(convertPicture(5, 3, false, picture, "", "BMP3:pic.bmp"));

    Texture texture;
    ASSERT_TRUE(texture.loadFromFile("pic.bmp"));
    EXPECT_EQ(texture.name(), "pic.bmp");
    EXPECT_TRUE(texture.holdsImage());
    EXPECT_EQ(texture.width(), 5u);
    EXPECT_EQ(texture.height(), 3u);
    EXPECT_EQ(texture.bitsPerPixel(), 24u);
    EXPECT_EQ(texture.glFormat(), static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(texture.pixels(), flipRows(picture, 5, 3, 3));
    ASSERT_NE(texture.glName(), 0u);
    EXPECT_TRUE(glIsTexture(texture.glName()));
    // gluBuild2DMipmaps scales to powers of two and builds every level down to 1 x 1.
    EXPECT_GT(textureLevelParameter(texture.glName(), 0, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(textureLevelParameter(texture.glName(), 2, GL_TEXTURE_HEIGHT), 1);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Rows of 15 bytes stored as 16: the size warning, naming the texture.
    EXPECT_EQ(readFile("debug.log"),
              "Possibly corrupt image pic.bmp (BmpDataSize doesn't match)\n");
}

TEST(TextureGl, UploadTakesTheRowsTightlyPacked) {
    ScratchDirectory scratch;
    Display display;
    // 2 x 2 at 24 bits: 6-byte rows, which GL's default alignment of 4 would read skewed.
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Texture texture;
    ASSERT_TRUE(readTxfText(texture, txfOf(2, 2, 24, pixels)));
    EXPECT_EQ(levelZero(texture.glName(), GL_RGB, 2, 2), pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // restored
}

TEST(TextureGl, LoadTagsPickTheReader) {
    ScratchDirectory scratch;
    Display display;
    const Bytes picture = testPattern(4, 2, true);
    ASSERT_TRUE(convertPicture(4, 2, true, picture, "-type TrueColorAlpha -compress RLE", "p.tga"));
    ASSERT_TRUE(convertPicture(4, 2, true, picture, "-define bmp3:alpha=true", "BMP3:p.bmp"));
    writeFile("p.txf", txfOf(4, 2, 32, picture));

    Texture tga;
    ASSERT_TRUE(tga.loadFromFile("p.tga"));
    EXPECT_EQ(tga.pixels(), picture);
    EXPECT_EQ(tga.glFormat(), static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(levelZero(tga.glName(), GL_RGBA, 4, 2), picture);
    Texture txf;
    ASSERT_TRUE(txf.loadFromFile("p.txf"));
    EXPECT_EQ(txf.pixels(), picture);
    // "map" is the txf format inside a map package.
    Texture map;
    std::istringstream mapIn(readFile("p.txf"));
    EXPECT_TRUE(map.load(mapIn, "map"));
    EXPECT_EQ(map.pixels(), picture);
    // Tags compare exactly, lower case.
    for (const char* tag : {"BMP", "Bmp", "TGA", "TXF", "png", ""}) {
        Texture other;
        std::istringstream in(readFile("p.bmp"));
        EXPECT_FALSE(other.load(in, tag)) << tag;
        EXPECT_FALSE(other.holdsImage());
    }
    Texture bmp;
    std::istringstream in(readFile("p.bmp"));
    EXPECT_TRUE(bmp.load(in, "bmp"));
    EXPECT_EQ(bmp.pixels(), flipRows(picture, 4, 2, 4));
}

TEST(TextureGl, TgaTypeMessageGoesToStandardErrorAndTheTextureStaysEmpty) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(testing_support::runConvert("-size 4x4 xc:gray50 -type Grayscale grey.tga"));
    Texture texture;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(texture.loadFromFile("grey.tga"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "  This program can't read IMAGE_TYPE 3 files.\n");
    EXPECT_FALSE(texture.holdsImage());
    EXPECT_EQ(texture.glName(), 0u);
    EXPECT_EQ(readFile("debug.log"), "");
}

TEST(TextureGl, ANewReadReleasesTheHeldImageFirst) {
    ScratchDirectory scratch;
    Display display;
    Texture texture;
    ASSERT_TRUE(readTxfText(texture, txfOf(2, 1, 24, {1, 2, 3, 4, 5, 6})));
    const GLuint first = texture.glName();
    ASSERT_TRUE(readTxfText(texture, txfOf(1, 1, 32, {9, 9, 9, 9})));
    EXPECT_FALSE(glIsTexture(first) && first != texture.glName());
    EXPECT_EQ(texture.bitsPerPixel(), 32u);
    const GLuint second = texture.glName();
    EXPECT_TRUE(glIsTexture(second));
    // A failed read leaves the texture empty, its GL texture deleted.
    EXPECT_FALSE(readTxfText(texture, "txf"));
    EXPECT_FALSE(texture.holdsImage());
    EXPECT_EQ(texture.glName(), 0u);
    EXPECT_FALSE(glIsTexture(second));
    EXPECT_EQ(texture.width(), 0u);
    // release on an empty texture does nothing.
    texture.release();
    texture.upload();
    texture.regenerate();
    EXPECT_EQ(texture.glName(), 0u);
}

TEST(TextureGl, CombineAlphaTakesTheMaskMeanAndUploadsAgain) {
    ScratchDirectory scratch;
    Display display;
    Texture target;
    ASSERT_TRUE(readTxfText(target, txfOf(2, 1, 32, {10, 20, 30, 0, 40, 50, 60, 1})));
    const GLuint name = target.glName();
    Texture whiteMask;
    ASSERT_TRUE(readTxfText(whiteMask, txfOf(2, 1, 24, {255, 255, 255, 255, 255, 255})));
    ASSERT_TRUE(target.combineAlpha(&whiteMask));
    EXPECT_EQ(target.pixels(), (Bytes{10, 20, 30, 255, 40, 50, 60, 255}));
    EXPECT_EQ(target.glName(), name);
    EXPECT_EQ(levelZero(name, GL_RGBA, 2, 1), target.pixels());

    // A 32-bit mask: its colour bytes, not its alpha, truncated mean.
    Texture mask32;
    ASSERT_TRUE(readTxfText(mask32, txfOf(2, 1, 32, {1, 2, 4, 200, 100, 0, 0, 7})));
    ASSERT_TRUE(target.combineAlpha(&mask32));
    EXPECT_EQ(target.pixels()[3], 2);
    EXPECT_EQ(target.pixels()[7], 33);
    EXPECT_EQ(levelZero(name, GL_RGBA, 2, 1), target.pixels());

    // False: no mask, another size, a 24-bit target, an empty mask.
    EXPECT_FALSE(target.combineAlpha(nullptr));
    Texture wider;
    ASSERT_TRUE(readTxfText(wider, txfOf(3, 1, 24, Bytes(9, 255))));
    EXPECT_FALSE(target.combineAlpha(&wider));
    EXPECT_FALSE(whiteMask.combineAlpha(&whiteMask));
    Texture empty;
    EXPECT_FALSE(target.combineAlpha(&empty));
    EXPECT_FALSE(empty.combineAlpha(&whiteMask));
}

TEST(TextureGl, RegenerateRebuildsTheTextureInANewContext) {
    ScratchDirectory scratch;
    auto display = std::make_unique<Display>();
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Texture texture;
    ASSERT_TRUE(readTxfText(texture, txfOf(2, 2, 24, pixels)));
    Texture leftOver;  // never regenerated, deleted in the next context
    ASSERT_TRUE(readTxfText(leftOver, txfOf(1, 1, 24, {1, 2, 3})));
    // In its own context the old name is replaced, not leaked.
    const GLuint first = texture.glName();
    texture.regenerate();
    EXPECT_FALSE(glIsTexture(first) && first != texture.glName());
    const GLuint stale = texture.glName();

    display.reset();
    display = std::make_unique<Display>();
    ASSERT_TRUE(display->windowOpen);
    // The new context's own textures take the old numbers; neither the regeneration nor the
    // deletion of an old texture may touch them.
    std::vector<GLuint> others(4);
    glGenTextures(4, others.data());
    for (GLuint other : others) {
        glBindTexture(GL_TEXTURE_2D, other);
    }
    ASSERT_NE(std::find(others.begin(), others.end(), stale), others.end());
    ASSERT_NE(std::find(others.begin(), others.end(), leftOver.glName()), others.end());
    texture.regenerate();
    leftOver.release();
    for (GLuint other : others) {
        EXPECT_TRUE(glIsTexture(other)) << other;
        EXPECT_NE(texture.glName(), other);
    }
    ASSERT_NE(texture.glName(), 0u);
    EXPECT_TRUE(glIsTexture(texture.glName()));
    EXPECT_EQ(levelZero(texture.glName(), GL_RGB, 2, 2), pixels);
}

TEST(TextureGl, SaveWritesTheTextureFormatThatReadsBack) {
    ScratchDirectory scratch;
    Display display;
    Texture empty;
    EXPECT_FALSE(empty.save());
    EXPECT_TRUE(empty.data().empty());

    // One colour: one palette entry.
    Texture single;
    ASSERT_TRUE(readTxfText(single, txfOf(1, 1, 24, {5, 6, 7})));
    Texture uniform;
    ASSERT_TRUE(readTxfText(uniform, toString(image_readers::encodeTxf(imageOf(40, 30, 24, [] {
                                Bytes b;
                                for (int i = 0; i < 1200; ++i) {
                                    b.insert(b.end(), {9, 8, 7});
                                }
                                return b;
                            }())))));
    ASSERT_TRUE(uniform.save());
    ASSERT_GE(uniform.data().size(), 24u);
    EXPECT_EQ(uniform.data()[4], 1);   // palette-coded
    EXPECT_EQ(uniform.data()[16], 1);  // P = 1
    EXPECT_EQ(uniform.data()[17], 0);

    // Random images, many colours and long runs, through save and readTxf.
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const unsigned width = 1 + random() % 300;
        const unsigned height = 1 + random() % 300;
        const unsigned depth = round % 2 == 0 ? 24 : 32;
        const unsigned colours = round < 4 ? 3 : round < 8 ? 400 : 100000;
        Bytes pixels;
        while (pixels.size() < std::size_t{width} * height * depth / 8) {
            const unsigned colour = random() % colours;
            const unsigned run = random() % 10 == 0 ? 1 + random() % 2000 : 1;
            for (unsigned i = 0; i < run; ++i) {
                pixels.push_back(static_cast<std::uint8_t>(colour));
                pixels.push_back(static_cast<std::uint8_t>(colour >> 8));
                pixels.push_back(static_cast<std::uint8_t>(colour >> 16));
                if (depth == 32) {
                    pixels.push_back(77);
                }
            }
        }
        pixels.resize(std::size_t{width} * height * depth / 8);
        Texture original;
        ASSERT_TRUE(readTxfText(original, txfOf(width, height, depth, pixels)));
        ASSERT_TRUE(original.save());
        Texture copy;
        std::istringstream in(toString(original.data()));
        ASSERT_TRUE(copy.readTxf(in)) << round;
        EXPECT_EQ(copy.pixels(), pixels) << round;
        EXPECT_EQ(copy.width(), width);
        EXPECT_EQ(copy.height(), height);
        // Saving again replaces the buffer rather than appending.
        const std::size_t size = original.data().size();
        ASSERT_TRUE(original.save());
        EXPECT_EQ(original.data().size(), size);
    }
}

TEST(TextureGl, ObjectFactoryMakesTexturesFromMapRecords) {
    ScratchDirectory scratch;
    Display display;
    std::istringstream in(txfOf(2, 1, 24, {1, 2, 3, 4, 5, 6}));
    std::unique_ptr<StoredObject> object = createStoredObject(1, in);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->getTypeId(), 1);
    auto* texture = static_cast<Texture*>(object.get());
    EXPECT_EQ(texture->pixels(), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(glIsTexture(texture->glName()));
    // A record whose image cannot be read still gives the (empty) object.
    std::istringstream bad("txf\0junk");
    std::unique_ptr<StoredObject> empty = createStoredObject(1, bad);
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(static_cast<Texture*>(empty.get())->holdsImage());
}

TEST(TexturePackageGl, RecordsOfTxfAndBmpBecomeTexturesOthersDoNot) {
    ScratchDirectory scratch;
    Display display;
    const Bytes picture = testPattern(5, 3, false);
    ASSERT_TRUE(convertPicture(5, 3, false, picture, "-type TrueColor", "p.tga"));
    Bytes truncatedBmp = makeBmp(4, 4, 24, testPattern(4, 4, false));
    truncatedBmp.resize(60);
    const Bytes txf = toBytes(txfOf(5, 3, 24, picture));
    std::string error;
    ASSERT_TRUE(writePackage("tex.txp",
                             {
                                 {"b_bmp", makeBmp(5, 3, 24, picture)},
                                 {"a_txf", txf},
                                 {"c_tga", toBytes(readFile("p.tga"))},
                                 {"d_junk", toBytes("hello")},
                                 {"e_broken", truncatedBmp},
                                 {"f_short", {'t', 'x'}},
                             },
                             error))
        << error;

    TexturePackage eager;
    ASSERT_TRUE(eager.load("tex.txp", true));
    // a, b and the broken BMP (returned although its reading failed).
    EXPECT_EQ(eager.objectCount(), 3);
    EXPECT_EQ(readFile("debug.log"),
              "Possibly corrupt image b_bmp (BmpDataSize doesn't match)\n"
              "Failed to load c_tga in tex.txp\n"
              "Failed to load d_junk in tex.txp\n"
              "Unable to read e_broken in tex.txp\n"
              "Failed to load f_short in tex.txp\n");
    auto* a = static_cast<Texture*>(eager.getObject("a_txf"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->pixels(), picture);
    EXPECT_TRUE(glIsTexture(a->glName()));
    auto* b = static_cast<Texture*>(eager.getObject("b_bmp"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels(), picture);  // makeBmp takes rows bottom first as they are
    auto* broken = static_cast<Texture*>(eager.getObject("e_broken"));
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->holdsImage());
    EXPECT_EQ(eager.getObject("c_tga"), nullptr);

    // Lazily: only what is asked for is read.
    writeFile("debug.log", "");
    TexturePackage lazy;
    ASSERT_TRUE(lazy.load("tex.txp", false));
    EXPECT_EQ(lazy.objectCount(), 0);
    auto* lazyB = static_cast<Texture*>(lazy.getObject("b_bmp"));
    ASSERT_NE(lazyB, nullptr);
    EXPECT_EQ(lazyB->name(), "b_bmp");
    EXPECT_EQ(lazyB->pixels(), picture);
    EXPECT_EQ(lazy.objectCount(), 1);
    EXPECT_EQ(readFile("debug.log"), "Possibly corrupt image b_bmp (BmpDataSize doesn't match)\n");
    EXPECT_EQ(lazy.getObject("zzz"), nullptr);
}

TEST(TexturePackageGl, MapRecordsOfTypeOneAreTexturesSavedByTheTexture) {
    ScratchDirectory scratch;
    Display display;
    const Bytes picture = testPattern(6, 4, true);
    Texture original;
    ASSERT_TRUE(readTxfText(original, txfOf(6, 4, 32, picture)));
    original.setName("skin");
    std::vector<std::uint8_t> payload;
    ASSERT_TRUE(mapRecordPayload(original, payload));
    std::vector<std::uint8_t> unknown = payload;
    unknown[0] = 4;
    std::string error;
    ASSERT_TRUE(writePackage("room.map", {{"skin", payload}, {"what", unknown}}, error)) << error;

    Map map;
    ASSERT_TRUE(map.load("room.map", true));
    ASSERT_EQ(map.objectCount(), 1);
    StoredObject* object = map.getObject("skin");
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->getTypeId(), 1);
    const auto* texture = static_cast<const Texture*>(object);
    EXPECT_EQ(texture->pixels(), picture);
    EXPECT_EQ(texture->width(), 6u);
    EXPECT_TRUE(glIsTexture(texture->glName()));
    EXPECT_EQ(readFile("debug.log"), "Failed to load what in room.map\n");
}
