// tintfall-assets: makes the game's own art and sound from code, so that anyone can regenerate
// and check them: the hexagonal cell mesh and its texture, the spark sprite and its mask, and
// the click played after every move. The output is the same, byte for byte, on every run.
//
//   tintfall-assets DATA_FOLDER     writes Meshes/Hex.smf, Textures/Hex.bmp, Textures/Spark.bmp,
//                                   Textures/Spark_alpha.bmp and Audio/click.wav below it
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

class Bytes {
  public:
    void u8(std::uint8_t value) { data.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value & 0xff));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value & 0xffff));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void f32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void text(const char* chars) {
        for (const char* c = chars; *c != '\0'; ++c) {
            u8(static_cast<std::uint8_t>(*c));
        }
    }
    std::vector<std::uint8_t> data;
};

bool save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data.data()),
              static_cast<std::streamsize>(bytes.data.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

std::uint8_t toByte(double value) {
    const double clamped = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    return static_cast<std::uint8_t>(std::lround(clamped * 255.0));
}

// An uncompressed bottom-up BMP with the 40-byte header. Widths are multiples of 4, so rows
// need no padding. `pixel(x, y)` gives RGB(A) with y = 0 at the top of the picture.
template <typename PixelFunction>
Bytes bmp(int width, int height, int bitsPerPixel, PixelFunction pixel) {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(width * height * bitsPerPixel / 8);
    Bytes out;
    out.text("BM");
    out.u32(54 + dataSize);
    out.u32(0);
    out.u32(54);
    out.u32(40);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height));
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(bitsPerPixel));
    out.u32(0);
    out.u32(dataSize);
    out.u32(2835);
    out.u32(2835);
    out.u32(0);
    out.u32(0);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            double rgba[4];
            pixel(x, row, rgba);
            out.u8(toByte(rgba[2]));
            out.u8(toByte(rgba[1]));
            out.u8(toByte(rgba[0]));
            if (bitsPerPixel == 32) {
                out.u8(toByte(rgba[3]));
            }
        }
    }
    return out;
}

// A regular hexagon of circumradius 1 around the origin, lying in the x-z plane with two corners
// on the x axis. The board turns every cell by 270 degrees about x, which stands it up in the
// screen's x-y plane with its flat sides on top, and scales it by half the cell width, so that
// neighbouring cells touch. Seen from +y the corners run clockwise, which the board's y-down
// projection turns into the front-facing order.
Bytes hexMesh() {
    std::vector<float> xs{0.0f};
    std::vector<float> zs{0.0f};
    for (int corner = 0; corner < 6; ++corner) {
        const double angle = -60.0 * corner * pi / 180.0;
        xs.push_back(static_cast<float>(std::cos(angle)));
        zs.push_back(static_cast<float>(std::sin(angle)));
    }
    const std::uint16_t count = static_cast<std::uint16_t>(xs.size());
    Bytes out;
    out.text("smf");
    out.u8(0);
    out.u8(1);  // unified indices
    out.u8(0);  // no texture reference: the mesh uses the fallback cell texture, Hex.bmp
    out.u16(count);
    out.u16(count);
    out.u16(6);
    out.u16(count);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        out.f32(xs[i]);
        out.f32(0.0f);
        out.f32(zs[i]);
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        out.f32(0.0f);
        out.f32(1.0f);
        out.f32(0.0f);
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        out.f32(0.5f + 0.5f * xs[i]);
        out.f32(0.5f + 0.5f * zs[i]);
    }
    for (std::uint16_t corner = 0; corner < 6; ++corner) {
        out.u16(0);
        out.u16(static_cast<std::uint16_t>(1 + corner));
        out.u16(static_cast<std::uint16_t>(1 + (corner + 1) % 6));
    }
    return out;
}

// Distance to the hexagon's edge in the texture's own terms: 0 at the centre, 1 on the sides
// of the hexagon the mesh's texture coordinates cut out (corners left and right).
double hexDistance(double u, double v) {
    const double x = std::fabs(u * 2.0 - 1.0);
    const double y = std::fabs(v * 2.0 - 1.0);
    const double apothem = std::sqrt(3.0) / 2.0;
    return std::fmax(y / apothem, (x * apothem + y * 0.5) / apothem);
}

// Light grey, nearly white in the middle so the palette colour shows true, with a soft bevel:
// the upper-left rim catches the light, the lower-right rim falls into shade.
Bytes hexTexture() {
    const int size = 64;
    return bmp(size, size, 24, [](int x, int y, double* rgba) {
        const double u = (x + 0.5) / size;
        const double v = (y + 0.5) / size;
        const double d = hexDistance(u, v);
        double shade = 0.94 - 0.04 * d * d;
        const double rimStart = 0.72;
        if (d > rimStart) {
            const double t = std::fmin((d - rimStart) / (1.0 - rimStart), 1.0);
            const double light = ((0.5 - u) + (0.5 - v)) * 1.4;  // toward the upper left
            shade += t * (0.10 * light - 0.10) - (d > 0.97 ? 0.12 : 0.0);
        }
        rgba[0] = rgba[1] = rgba[2] = shade;
        rgba[3] = 1.0;
    });
}

double glow(int x, int y, int size) {
    const double dx = (x + 0.5) / size * 2.0 - 1.0;
    const double dy = (y + 0.5) / size * 2.0 - 1.0;
    const double r = std::sqrt(dx * dx + dy * dy);
    return r >= 1.0 ? 0.0 : std::pow(1.0 - r, 1.6);
}

// The spark: white with a warm core, 32 bits deep so that the mask can become its alpha.
Bytes sparkTexture() {
    const int size = 32;
    return bmp(size, size, 32, [](int x, int y, double* rgba) {
        const double g = glow(x, y, size);
        rgba[0] = 1.0;
        rgba[1] = 0.85 + 0.15 * g;
        rgba[2] = 0.7 + 0.3 * g;
        rgba[3] = g;
    });
}

Bytes sparkMask() {
    const int size = 32;
    return bmp(size, size, 24, [](int x, int y, double* rgba) {
        rgba[0] = rgba[1] = rgba[2] = glow(x, y, size);
        rgba[3] = 1.0;
    });
}

// A short, soft click in the mixer's own format (22050 Hz, 16-bit, stereo): a low tone with a
// quick attack and an exponential decay, about 60 ms.
Bytes clickSound() {
    const int rate = 22050;
    const int frames = rate * 60 / 1000;
    Bytes samples;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::fmin(t / 0.002, 1.0);
        const double envelope = attack * std::exp(-t / 0.012);
        const double tone =
            0.7 * std::sin(2.0 * pi * 660.0 * t) + 0.3 * std::sin(2.0 * pi * 1320.0 * t);
        const auto value = static_cast<std::int16_t>(std::lround(0.35 * 32767.0 * envelope * tone));
        samples.u16(static_cast<std::uint16_t>(value));
        samples.u16(static_cast<std::uint16_t>(value));
    }
    Bytes out;
    out.text("RIFF");
    out.u32(static_cast<std::uint32_t>(36 + samples.data.size()));
    out.text("WAVE");
    out.text("fmt ");
    out.u32(16);
    out.u16(1);
    out.u16(2);
    out.u32(rate);
    out.u32(rate * 4);
    out.u16(4);
    out.u16(16);
    out.text("data");
    out.u32(static_cast<std::uint32_t>(samples.data.size()));
    out.data.insert(out.data.end(), samples.data.begin(), samples.data.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tintfall-assets DATA_FOLDER\n";
        return 2;
    }
    const std::string data = argv[1];
    const bool ok = save(data + "/Meshes/Hex.smf", hexMesh()) &&
                    save(data + "/Textures/Hex.bmp", hexTexture()) &&
                    save(data + "/Textures/Spark.bmp", sparkTexture()) &&
                    save(data + "/Textures/Spark_alpha.bmp", sparkMask()) &&
                    save(data + "/Audio/click.wav", clickSound());
    return ok ? 0 : 1;
}
