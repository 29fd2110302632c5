// An image held in memory as packed RGB or RGBA bytes, and the OpenGL texture built from it.
// Read from BMP, TGA and the game's own texture format ("txf"), from files or texture packages.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "resources/stored_object.h"

class Texture : public StoredObject {
  public:
    Texture() = default;
    ~Texture() override;

    bool load(std::istream& in, const std::string& extensionTag) override;
    bool save() override;
    std::int32_t getTypeId() const override { return 1; }

    bool readBmp(std::istream& in);
    bool readTga(std::istream& in);
    bool readTxf(std::istream& in);
    // Binds the GL texture and builds it, with mipmaps, from the pixels.
    void upload();
    // Deletes the GL texture and the pixels, if any are held.
    void release();
    bool combineAlpha(const Texture* mask);

    GLuint glName() const { return glName_; }
    // Makes a new GL texture name for the held pixels and uploads them again (after the GL
    // context was replaced).
    void regenerate();
    GLenum glFormat() const { return glFormat_; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::uint32_t bitsPerPixel() const { return bitsPerPixel_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    bool holdsImage() const { return !pixels_.empty(); }

  private:
    GLuint glName_ = 0;
    GLenum glFormat_ = GL_RGB;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t bitsPerPixel_ = 0;
    std::vector<std::uint8_t> pixels_;
};
