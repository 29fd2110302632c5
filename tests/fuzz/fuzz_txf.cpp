// Feeds arbitrary bytes to the GL-free txf reader (and the encoder on what it decodes).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "resources/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    image_readers::DecodedImage image;
    if (image_readers::decodeTxf(in, image)) {
        // What decodes must encode and decode to the same image.
        const std::vector<std::uint8_t> file = image_readers::encodeTxf(image);
        std::istringstream again(std::string(file.begin(), file.end()));
        image_readers::DecodedImage copy;
        if (!image_readers::decodeTxf(again, copy) || copy.pixels != image.pixels) {
            __builtin_trap();
        }
    }
    return 0;
}
