// An image held in memory as packed RGB or RGBA bytes, and the OpenGL texture built from it.
// Read from BMP, TGA and the game's own texture format ("txf"), from files or texture packages.
// The decoding itself is done by the GL-free functions of image_readers.h; a Texture adds the
// GL texture: every successful read generates a GL name and uploads the pixels with mipmaps.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/image_readers.h"
#include "resources/stored_object.h"
#include "resources/type_ids.h"

class Texture : public StoredObject {
  public:
    Texture() = default;
    ~Texture() override;

    // "bmp", "tga", "txf" or "map" (a txf image inside a map package); any other tag, capitals
    // included, is false.
    bool load(std::istream& in, const std::string& extensionTag) override;
    // Encodes the held image as a txf file into the data buffer; false when none is held.
    bool save() override;
    std::int32_t getTypeId() const override { return TypeId::texture; }

    // Each reads an image at the stream's position, replacing (first releasing) any held one.
    // The BMP size warning goes to the debug log, the TGA messages to the standard error stream.
    bool readBmp(std::istream& in);
    bool readTga(std::istream& in);
    bool readTxf(std::istream& in);
    // Binds the GL texture and builds it, with mipmaps, from the pixels.
    void upload();
    // Deletes the GL texture and the pixels, if any are held.
    void release();
    // Makes this 32-bit texture's alpha the mean of the mask's colour bytes, pixel by pixel,
    // and uploads again. False for no mask, another size, or a texture that is not 32-bit.
    bool combineAlpha(const Texture* mask);

    unsigned glName() const { return glName_; }
    // Makes a new GL texture name for the held pixels and uploads them again (after the GL
    // context was replaced). A name of the current context is deleted first.
    void regenerate();
    unsigned glFormat() const { return glFormat_; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::uint32_t bitsPerPixel() const { return bitsPerPixel_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    bool holdsImage() const { return !pixels_.empty(); }

  private:
    // Releases the held image and, if `decoded`, takes the new one and builds its GL texture.
    bool take(bool decoded, image_readers::DecodedImage& image);

    unsigned glName_ = 0;  // a GL texture name
    // The GL context glName_ belongs to (platform::currentGlContext); another one's names are
    // never deleted or bound.
    unsigned glContext_ = 0;
    unsigned glFormat_ = 0x1907;  // GL_RGB
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t bitsPerPixel_ = 0;
    std::vector<std::uint8_t> pixels_;
};
