// The image file formats a Texture reads (BMP, TGA and the game's own "txf") and the txf
// encoder, as plain functions on streams and byte arrays: no GL, no SDL, no debug log. Texture
// calls them and then builds its GL texture; the tests and the fuzz harnesses call them directly.
//
// Every decoder reads an image starting at the stream's current position and either fills a
// DecodedImage (tightly packed rows, first row of the file first unless stated otherwise,
// bytes of each pixel in R, G, B(, A) order, 24 or 32 bits per pixel) and returns true, or
// returns false and leaves the image empty. None of them reads or writes outside its buffers,
// and none allocates for pixels before it has checked that the stream still holds enough bytes
// to produce them (for run-length and palette data: enough to expand to them), with every size
// computed in 64 bits.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace image_readers {

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerPixel = 0;  // 24 or 32 once decoded
    std::vector<std::uint8_t> pixels;

    std::size_t bytesPerPixel() const { return bitsPerPixel / 8; }
};

// No decoder accepts an image of more pixels than this (4096 x 4096): far beyond any texture
// the game uses and any GL implementation it runs on, and it keeps a tiny run-length file from
// asking for gigabytes.
constexpr std::uint64_t maxImagePixels = std::uint64_t{1} << 24;

// BMP with a BITMAPINFOHEADER (40 bytes) or any later, longer header (v2 to v5: ImageMagick
// writes v5), 24 or 32 bits per pixel, uncompressed or, at 32 bits, BI_BITFIELDS whose masks
// each select one whole byte. Rows are read with their padding to a multiple of 4 bytes removed;
// top-down files (negative height) are flipped so that the bottom row comes first, as in a
// bottom-up file. Lines for the debug log go to `debugLog`, naming the image `imageName`:
// "Possibly corrupt image NAME (BmpDataSize doesn't match)\n" when the header's image size is
// not width x height x bits / 8 (a warning only), and one line for each refusal of a file that
// looks like a BMP but cannot be read safely (header size, pixel offset, image size too small
// for the rows). What is plainly not a readable BMP (signature, short header, depth,
// compression) is refused silently.
bool decodeBmp(std::istream& in, const std::string& imageName, DecodedImage& image,
               std::ostream& debugLog);

// Truevision TGA: types 2 (true colour), 10 (run-length true colour) at 24 or 32 bits, and the
// colour-mapped types 1 and 9 with 8- or 16-bit indices into a map of 24- or 32-bit entries. The
// origin bits are ignored: rows stay in file order. The messages about types that cannot be
// read go to `errors` (the caller passes the standard error stream).
bool decodeTga(std::istream& in, DecodedImage& image, std::ostream& errors);

// The game's texture format. A run (v, 0, n) stands for n pixels in all, the one coded as v
// included; codes that would produce more or fewer than width x height pixels, a palette index
// beyond the palette, a run count of 0 or a run marker first or last are refused.
bool decodeTxf(std::istream& in, DecodedImage& image);

// The complete txf file for an image of 24 or 32 bits per pixel: palette-coded with runs while
// the image has fewer than 65536 colours, raw otherwise. Empty for an image without pixels or
// of another depth.
std::vector<std::uint8_t> encodeTxf(const DecodedImage& image);

}  // namespace image_readers
