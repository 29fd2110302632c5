// Textures with a real GL context: reads build the GL texture with its mipmaps from tightly
// packed rows, combineAlpha and regenerate upload again, and map records, the object factory
// and texture packages hand out textures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/display.h"
#include "resources/map.h"
#include "resources/object_factory.h"
#include "resources/package_writer.h"
#include "resources/texture.h"
#include "resources/texture_package.h"
#include "support/image_files.h"
#include "support/test_support.h"

using namespace testing_support;

// Level 0 of the GL texture as the GL holds it, rows packed.
static Bytes levelZero(GLuint name, GLenum format, std::size_t size) {
    glBindTexture(GL_TEXTURE_2D, name);
    Bytes pixels(size);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

static bool read(Texture& texture, const Bytes& file, const char* tag = "txf") {
    std::istringstream in(std::string(file.begin(), file.end()));
    return texture.load(in, tag);
}

TEST(TextureGl, ReadsBuildTheGlTextureWithMipmaps) {
    Display display;
    const Bytes picture = testPattern(5, 3, false);
    ASSERT_TRUE(convertPicture(5, 3, false, picture, "", "BMP3:pic.bmp"));
    Texture texture;
    ASSERT_TRUE(texture.loadFromFile("pic.bmp"));
    EXPECT_EQ(std::make_tuple(texture.name(), texture.width(), texture.height(), texture.pixels()),
              std::make_tuple(std::string("pic.bmp"), 5u, 3u, flipRows(picture, 5, 3, 3)));
    EXPECT_EQ(readFile("debug.log"),
              "Possibly corrupt image pic.bmp (BmpDataSize doesn't match)\n");
    // gluBuild2DMipmaps builds every level down to 1 x 1, the unpack alignment is restored.
    GLint values[3] = {};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT, &values[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &values[1]);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &values[2]);
    EXPECT_EQ(std::vector<GLint>(values, values + 3),
              (std::vector<GLint>{1, GL_LINEAR_MIPMAP_LINEAR, 4}));
    // The tag picks the reader: exactly "bmp", "tga", "txf" or "map" (txf in a map package).
    const Bytes alpha = testPattern(4, 2, true);
    ASSERT_TRUE(convertPicture(4, 2, true, alpha, "-type TrueColorAlpha -compress RLE", "p.tga"));
    ASSERT_TRUE(read(texture, toBytes(readFile("p.tga")), "tga"));
    EXPECT_TRUE(texture.glFormat() == GL_RGBA && levelZero(texture.glName(), GL_RGBA, 32) == alpha);
    for (const auto& [file, tag] : {std::make_pair(encodeTxf(4, 32, alpha), "map"),
                                    std::make_pair(makeBmp(4, 2, 32, alpha), "bmp")})
        EXPECT_TRUE(read(texture, file, tag) && texture.pixels() == alpha) << tag;
    for (const char* tag : {"BMP", "TGA", "TXF", "png", ""})
        EXPECT_FALSE(read(texture, makeBmp(4, 2, 32, alpha), tag)) << tag;
    // TGA messages go to the standard error stream; a failed read leaves the texture empty.
    ASSERT_TRUE(read(texture, encodeTxf(4, 32, alpha)));
    const GLuint held = texture.glName();
    ASSERT_TRUE(runConvert("-size 4x4 xc:gray50 -type Grayscale grey.tga"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(texture.loadFromFile("grey.tga") || texture.holdsImage() || glIsTexture(held) ||
                 texture.save() || texture.glName() + texture.width() != 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "  This program can't read IMAGE_TYPE 3 files.\n");
}

TEST(TextureGl, CombineAlphaTakesTheMaskMeanAndUploadsAgain) {
    Display display;
    Texture target, white, mask32, wider, empty;
    ASSERT_TRUE(read(target, encodeTxf(2, 32, {10, 20, 30, 0, 40, 50, 60, 1})) &&
                read(white, encodeTxf(2, 24, Bytes(6, 255))) &&
                read(mask32, encodeTxf(2, 32, {1, 2, 4, 200, 100, 0, 0, 7})) &&
                read(wider, encodeTxf(3, 24, Bytes(9, 255))));
    const GLuint name = target.glName();
    ASSERT_TRUE(target.combineAlpha(&white));
    EXPECT_EQ(target.pixels(), (Bytes{10, 20, 30, 255, 40, 50, 60, 255}));
    // A 32-bit mask: the truncated mean of its colour bytes, not its alpha.
    ASSERT_TRUE(target.combineAlpha(&mask32) && target.glName() == name);
    EXPECT_EQ(target.pixels(), (Bytes{10, 20, 30, 2, 40, 50, 60, 33}));
    EXPECT_EQ(levelZero(name, GL_RGBA, 8), target.pixels());
    // False: no mask, another size, a 24-bit target, an empty mask or target.
    EXPECT_FALSE(target.combineAlpha(nullptr) || target.combineAlpha(&wider) ||
                 white.combineAlpha(&white) || target.combineAlpha(&empty) ||
                 empty.combineAlpha(&white));
}

TEST(TextureGl, RegenerateRebuildsTheTextureInANewContext) {
    auto display = std::make_unique<Display>();
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Texture texture, leftOver;  // leftOver is never regenerated, deleted in the next context
    ASSERT_TRUE(read(texture, encodeTxf(2, 24, pixels)) &&
                read(leftOver, encodeTxf(1, 24, {1, 2, 3})));
    const GLuint stale = texture.glName();
    display.reset();
    display = std::make_unique<Display>();
    // The new context's own textures take the old numbers; neither the regeneration nor the
    // deletion of an old texture may touch them.
    std::vector<GLuint> others(4);
    glGenTextures(4, others.data());
    for (GLuint other : others)
        glBindTexture(GL_TEXTURE_2D, other);
    ASSERT_TRUE(std::count(others.begin(), others.end(), stale) &&
                std::count(others.begin(), others.end(), leftOver.glName()));
    texture.regenerate(), leftOver.release();
    for (GLuint other : others)
        EXPECT_TRUE(glIsTexture(other) && texture.glName() != other) << other;
    // Rows of 6 bytes, which GL's default alignment of 4 would read skewed.
    EXPECT_EQ(levelZero(texture.glName(), GL_RGB, 12), pixels);
    // Saving writes the texture format that reads back, replacing what an earlier save wrote.
    ASSERT_TRUE(texture.save() && texture.save());
    Texture copy;
    EXPECT_TRUE(read(copy, texture.data()) && copy.pixels() == pixels && copy.width() == 2 &&
                copy.height() == 2);
}

TEST(TexturePackageGl, PackagesAndMapRecordsHandOutTextures) {
    Display display;
    const Bytes picture = testPattern(5, 3, false);
    ASSERT_TRUE(convertPicture(5, 3, false, picture, "-type TrueColor", "p.tga"));
    const Bytes bmp = makeBmp(5, 3, 24, picture),
                four = makeBmp(4, 4, 24, testPattern(4, 4, false));
    const Bytes broken(four.begin(), four.begin() + 60);
    std::string error;
    ASSERT_TRUE(writePackage("tex.txp",
                             {{"b_bmp", bmp},
                              {"a_txf", encodeTxf(5, 24, picture)},
                              {"c_tga", toBytes(readFile("p.tga"))},
                              {"d_junk", toBytes("hello")},
                              {"e_broken", broken},
                              {"f_short", {'t', 'x'}}},
                             error));
    TexturePackage eager;
    // a, b and the broken BMP (returned although its reading failed).
    ASSERT_TRUE(eager.load("tex.txp", true) && eager.objectCount() == 3);
    EXPECT_EQ(readFile("debug.log"),
              "Possibly corrupt image b_bmp (BmpDataSize doesn't match)\n"
              "Failed to load c_tga in tex.txp\nFailed to load d_junk in tex.txp\n"
              "Unable to read e_broken in tex.txp\nFailed to load f_short in tex.txp\n");
    for (const char* name : {"a_txf", "b_bmp", "e_broken"}) {  // makeBmp takes rows bottom first
        auto* texture = static_cast<Texture*>(eager.getObject(name));
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->pixels() == picture && glIsTexture(texture->glName()), name[0] != 'e');
    }
    // Map records of type 1 are textures, saved by the texture.
    Texture skin;
    Bytes payload;
    ASSERT_TRUE(read(skin, encodeTxf(5, 24, picture)) && mapRecordPayload(skin, payload));
    Bytes unknown = payload;
    unknown[0] = 4;
    ASSERT_TRUE(writePackage("room.map", {{"skin", payload}, {"what", unknown}}, error));
    writeFile("debug.log", "");
    Map map;
    ASSERT_TRUE(map.load("room.map", true) && map.objectCount() == 1 &&
                map.getObject("skin")->getTypeId() == 1);
    EXPECT_EQ(static_cast<const Texture*>(map.getObject("skin"))->pixels(), picture);
    EXPECT_EQ(readFile("debug.log"), "Failed to load what in room.map\n");
    // The object factory makes one even when its image cannot be read.
    std::istringstream bad("txf\0junk");
    const std::unique_ptr<StoredObject> empty = createStoredObject(1, bad);
    EXPECT_TRUE(empty != nullptr && !static_cast<Texture*>(empty.get())->holdsImage());
}
