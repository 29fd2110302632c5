#include "resources/texture_package.h"

#include "resources/texture.h"

std::unique_ptr<StoredObject> TexturePackage::loadObject(std::istream& in, const std::string& name,
                                                         std::uint32_t payloadOffset) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
    char kind[4] = {};
    in.read(kind, 4);
    if (in.gcount() != 4) {
        in.clear();
        return nullptr;
    }
    in.seekg(static_cast<std::streamoff>(payloadOffset), std::ios::beg);
    const bool txf = kind[0] == 't' && kind[1] == 'x' && kind[2] == 'f' && kind[3] == 0;
    const bool bmp = kind[0] == 0x42 && kind[1] == 0x4D;
    if (!txf && !bmp) {
        return nullptr;
    }
    auto texture = std::make_unique<Texture>();
    // Named before reading: the BMP size warning names it.
    texture->setName(name);
    // Handed out even when its image could not be read, as an empty texture; the package's
    // file is named, as the reader does not know it.
    if (!(txf ? texture->readTxf(in) : texture->readBmp(in))) {
        logUnreadableRecord(name);
    }
    return texture;
}
