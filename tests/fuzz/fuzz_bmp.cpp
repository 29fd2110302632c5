// Feeds arbitrary bytes to the GL-free BMP reader.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "resources/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    image_readers::DecodedImage image;
    std::ostringstream log;
    const bool decoded = image_readers::decodeBmp(in, "fuzz.bmp", image, log);
    // A decoded image holds exactly its pixels.
    if (decoded &&
        image.pixels.size() != std::size_t{image.width} * image.height * image.bytesPerPixel()) {
        __builtin_trap();
    }
    return 0;
}
