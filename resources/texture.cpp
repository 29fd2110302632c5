#include "resources/texture.h"

// Stand-in until the image readers are written.
Texture::~Texture() {
    release();
}
bool Texture::load(std::istream&, const std::string&) {
    return false;
}
bool Texture::save() {
    return false;
}
bool Texture::readBmp(std::istream&) {
    return false;
}
bool Texture::readTga(std::istream&) {
    return false;
}
bool Texture::readTxf(std::istream&) {
    return false;
}
void Texture::upload() {}
void Texture::release() {
    pixels_.clear();
}
bool Texture::combineAlpha(const Texture*) {
    return false;
}
void Texture::regenerate() {}
