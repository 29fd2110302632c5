// What a windowed test drew, read back from the back buffer of its window (a plain `Display`,
// 1024 x 768 unless the test's settings.ini says otherwise).
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdlib>

#include "engine/display.h"

namespace testing_support {

using Rgb = std::array<int, 3>;

// Every pixel of a rectangle in screen units (y grows downwards, as the game's projection),
// row by row from the top.
inline std::vector<Rgb> pixelsIn(const Display& display, double left, double top, double right,
                                 double bottom) {
    const int x0 = static_cast<int>(left * display.width);
    const int x1 = static_cast<int>(right * display.width);
    const int y0 = display.height - static_cast<int>(bottom * display.width);
    const int y1 = display.height - static_cast<int>(top * display.width);
    const int width = x1 > x0 ? x1 - x0 : 1;
    const int height = y1 > y0 ? y1 - y0 : 1;
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height) * 4);
    glReadPixels(x0, y0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<Rgb> pixels;
    for (int row = height - 1; row >= 0; --row)
        for (const unsigned char* p = &rgba[row * width * 4u]; p < &rgba[(row + 1) * width * 4u];
             p += 4)
            pixels.push_back({p[0], p[1], p[2]});
    return pixels;
}

// The pixel at a point in screen units.
inline Rgb pixelAt(const Display& display, double x, double y) {
    return pixelsIn(display, x, y, x, y).front();
}

inline bool near(const Rgb& a, const Rgb& b, int tolerance = 3) {
    return std::abs(a[0] - b[0]) <= tolerance && std::abs(a[1] - b[1]) <= tolerance &&
           std::abs(a[2] - b[2]) <= tolerance;
}

}  // namespace testing_support
