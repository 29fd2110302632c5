#include "resources/texture.h"

#include "platform/gl_lookup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iostream>
#include <new>
#include <sstream>

#include "platform/debug_log.h"

static_assert(GL_RGB == 0x1907, "the initial format in texture.h is GL_RGB");

Texture::~Texture() {
    release();
}

bool Texture::load(std::istream& in, const std::string& extensionTag) {
    if (extensionTag == "bmp") {
        return readBmp(in);
    }
    if (extensionTag == "tga") {
        return readTga(in);
    }
    if (extensionTag == "txf" || extensionTag == "map") {
        return readTxf(in);
    }
    return false;
}

bool Texture::save() {
    clearData();
    if (!holdsImage()) {
        return false;
    }
    try {
        image_readers::DecodedImage image;
        image.width = width_;
        image.height = height_;
        image.bitsPerPixel = bitsPerPixel_;
        image.pixels = pixels_;
        const std::vector<std::uint8_t> file = image_readers::encodeTxf(image);
        return appendData(file.data(), file.size());
    } catch (const std::bad_alloc&) {
        clearData();
        return false;
    }
}

bool Texture::readBmp(std::istream& in) {
    image_readers::DecodedImage image;
    std::ostringstream messages;
    const bool decoded = image_readers::decodeBmp(in, name(), image, messages);
    if (!messages.str().empty()) {
        logString(messages.str());
    }
    return take(decoded, image);
}

bool Texture::readTga(std::istream& in) {
    image_readers::DecodedImage image;
    const bool decoded = image_readers::decodeTga(in, image, std::cerr);
    return take(decoded, image);
}

bool Texture::readTxf(std::istream& in) {
    image_readers::DecodedImage image;
    const bool decoded = image_readers::decodeTxf(in, image);
    return take(decoded, image);
}

bool Texture::take(bool decoded, image_readers::DecodedImage& image) {
    release();
    if (!decoded || image.pixels.empty()) {
        return false;
    }
    width_ = image.width;
    height_ = image.height;
    bitsPerPixel_ = image.bitsPerPixel;
    glFormat_ = bitsPerPixel_ == 32 ? GL_RGBA : GL_RGB;
    pixels_ = std::move(image.pixels);
    // Without a window (tools, tests, fuzzing) the image is kept and no GL call is made.
    if (platform::haveGlContext()) {
        glGenTextures(1, &glName_);
        glContext_ = platform::currentGlContext();
        upload();
    }
    return true;
}

void Texture::upload() {
    if (!holdsImage() || !platform::haveGlContext()) {
        return;
    }
    if (glContext_ != platform::currentGlContext()) {
        // The name went with the context it was made in.
        regenerate();
        return;
    }
    glBindTexture(GL_TEXTURE_2D, glName_);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // The rows are tightly packed: with GL's default alignment of 4, a 24-bit image whose width
    // is not a multiple of 4 would be read skewed (and past the end of the array).
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(glFormat_), static_cast<GLint>(width_),
                      static_cast<GLint>(height_), glFormat_, GL_UNSIGNED_BYTE, pixels_.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void Texture::release() {
    if (!holdsImage()) {
        return;
    }
    if (glName_ != 0 && glContext_ == platform::currentGlContext()) {
        glDeleteTextures(1, &glName_);
    }
    glName_ = 0;
    glContext_ = 0;
    width_ = 0;
    height_ = 0;
    bitsPerPixel_ = 0;
    pixels_.clear();
    pixels_.shrink_to_fit();
}

bool Texture::combineAlpha(const Texture* mask) {
    if (mask == nullptr || !holdsImage() || !mask->holdsImage() || mask->width_ != width_ ||
        mask->height_ != height_ || bitsPerPixel_ != 32) {
        return false;
    }
    const std::size_t maskStep = mask->bitsPerPixel_ / 8;
    const std::size_t count = std::size_t{width_} * height_;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* m = mask->pixels_.data() + i * maskStep;
        pixels_[i * 4 + 3] = static_cast<std::uint8_t>((unsigned{m[0]} + m[1] + m[2]) / 3);
    }
    upload();
    return true;
}

void Texture::regenerate() {
    if (!holdsImage() || !platform::haveGlContext()) {
        return;
    }
    // In the same context the old name would leak; one of an earlier context is gone already
    // (and its number may belong to another texture now).
    if (glName_ != 0 && glContext_ == platform::currentGlContext()) {
        glDeleteTextures(1, &glName_);
    }
    glGenTextures(1, &glName_);
    glContext_ = platform::currentGlContext();
    upload();
}
