// tintfall-assets: makes the game's own art and sound from code, so that anyone can regenerate
// and check them: the hexagonal cell mesh and its texture, the spark sprite and its mask, and
// the click played after every move. The output is the same, byte for byte, on every run.
//
//   tintfall-assets DATA_FOLDER     writes Meshes/Hex.smf, Textures/Hex.bmp, Textures/Spark.bmp,
//                                   Textures/Spark_alpha.bmp and Audio/click.wav below it
//   tintfall-assets --icon FILE     writes the desktop icon, a 64 x 64 PNG
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "render/player_colours.h"
#include "resources/byte_writer.h"

namespace {

constexpr double pi = 3.14159265358979323846;

bool save(const std::string& path, const ByteWriter& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.bytes.data()),
              static_cast<std::streamsize>(bytes.bytes.size()));
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
ByteWriter bmp(int width, int height, int bitsPerPixel, PixelFunction pixel) {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(width * height * bitsPerPixel / 8);
    ByteWriter out;
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

// The cell: a hexagonal tile of circumradius 1 around the origin, lying in the x-z plane with two
// corners on the x axis. The board turns every cell by 270 degrees about x, which stands it up in
// the screen's x-y plane with its flat sides on top and its face (y < 0) towards the viewer, and
// scales it by half the cell width, so that neighbouring cells touch. A start cell keeps turning
// about x while its player is to move, so the tile is solid and shows from every side: a face, a
// back, and a bevelled rim between them. It is centred on y = 0, so it turns about its middle.
//
// The board's projection is y-down, a mirror: a triangle faces the viewer when its corners run
// clockwise as seen from outside the tile, so by the right-hand rule every normal points inward.
// The texture is laid on straight along y (u from x, v from z): from the front, face and bevel
// show the flat hexagon of the texture, painted bevel included; the back shows it mirrored.
//
// 12 vertices and 20 triangles: a board of the static batch's 16384 cells stays well inside its
// vertex and triangle capacities.
constexpr double bevelStart = 0.72;  // the face's radius, and where the texture's bevel begins
constexpr double thickness = 0.25;

struct Point {
    double x, y, z;
};

Point operator-(const Point& a, const Point& b) {
    return Point{a.x - b.x, a.y - b.y, a.z - b.z};
}
Point operator+(const Point& a, const Point& b) {
    return Point{a.x + b.x, a.y + b.y, a.z + b.z};
}

Point cross(const Point& a, const Point& b) {
    return Point{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point normalised(const Point& p) {
    const double length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return Point{p.x / length, p.y / length, p.z / length};
}

ByteWriter hexMesh() {
    // Corners 0..5 of the face, then 6..11 of the back, each running from the +x corner on.
    std::vector<Point> points;
    for (const auto& [radius, y] : {std::pair{bevelStart, -thickness / 2}, {1.0, thickness / 2}}) {
        for (int corner = 0; corner < 6; ++corner) {
            const double angle = -60.0 * corner * pi / 180.0;
            points.push_back(Point{radius * std::cos(angle), y, radius * std::sin(angle)});
        }
    }
    std::vector<std::array<int, 3>> faces;
    for (int k = 1; k < 5; ++k) {
        faces.push_back({0, k, k + 1});      // the face
        faces.push_back({6, 7 + k, 6 + k});  // the back, wound the other way
    }
    for (int k = 0; k < 6; ++k) {
        const int next = (k + 1) % 6;
        faces.push_back({k, 6 + k, 6 + next});
        faces.push_back({k, 6 + next, next});
    }
    // The normals the game would work out itself: per corner, the sum of the normals of the
    // triangles around it.
    std::vector<Point> normals(points.size(), Point{0, 0, 0});
    for (const auto& face : faces) {
        const Point& p0 = points[face[0]];
        const Point& p1 = points[face[1]];
        const Point& p2 = points[face[2]];
        const Point n = normalised(cross(p1 - p0, p2 - p1));
        for (const int corner : face) {
            normals[corner] = normals[corner] + n;
        }
    }
    const auto count = static_cast<std::uint16_t>(points.size());
    ByteWriter out;
    out.text("smf");
    out.u8(0);
    out.u8(1);  // unified indices
    out.u8(0);  // no texture reference: the mesh uses the fallback cell texture, Hex.bmp
    out.u16(count);
    out.u16(count);
    out.u16(static_cast<std::uint16_t>(faces.size()));
    out.u16(count);
    for (const Point& p : points) {
        out.f32(static_cast<float>(p.x));
        out.f32(static_cast<float>(p.y));
        out.f32(static_cast<float>(p.z));
    }
    for (const Point& n : normals) {
        const Point unit = normalised(n);
        out.f32(static_cast<float>(unit.x));
        out.f32(static_cast<float>(unit.y));
        out.f32(static_cast<float>(unit.z));
    }
    for (const Point& p : points) {
        out.f32(0.5f + 0.5f * static_cast<float>(p.x));
        out.f32(0.5f + 0.5f * static_cast<float>(p.z));
    }
    for (const auto& face : faces) {
        for (const int corner : face) {
            out.u16(static_cast<std::uint16_t>(corner));
        }
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

// A cell's grey at distance `d` from its centre (1 on the edge): nearly white in the middle so
// the palette colour shows true, and on the bevel a rim that `light` brightens or darkens, with
// a dark line from `edge` outward.
double cellShade(double d, double light, double edge, double edgeDrop) {
    double shade = 0.94 - 0.04 * d * d;
    if (d > bevelStart) {
        const double t = std::fmin((d - bevelStart) / (1.0 - bevelStart), 1.0);
        shade += t * (light - 0.10) - (d > edge ? edgeDrop : 0.0);
    }
    return shade;
}

// Light grey with a soft bevel: the upper-left rim catches the light, the lower-right rim falls
// into shade.
ByteWriter hexTexture() {
    const int size = 64;
    return bmp(size, size, 24, [](int x, int y, double* rgba) {
        const double u = (x + 0.5) / size;
        const double v = (y + 0.5) / size;
        const double light = ((0.5 - u) + (0.5 - v)) * 1.4;  // toward the upper left
        rgba[0] = rgba[1] = rgba[2] = cellShade(hexDistance(u, v), 0.10 * light, 0.97, 0.12);
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
ByteWriter sparkTexture() {
    const int size = 32;
    return bmp(size, size, 32, [](int x, int y, double* rgba) {
        const double g = glow(x, y, size);
        rgba[0] = 1.0;
        rgba[1] = 0.85 + 0.15 * g;
        rgba[2] = 0.7 + 0.3 * g;
        rgba[3] = g;
    });
}

ByteWriter sparkMask() {
    const int size = 32;
    return bmp(size, size, 24, [](int x, int y, double* rgba) {
        rgba[0] = rgba[1] = rgba[2] = glow(x, y, size);
        rgba[3] = 1.0;
    });
}

// A short, soft click in the mixer's own format (22050 Hz, 16-bit, stereo): a low tone with a
// quick attack and an exponential decay, about 60 ms.
ByteWriter clickSound() {
    const int rate = 22050;
    const int frames = rate * 60 / 1000;
    ByteWriter samples;
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
    ByteWriter out;
    out.text("RIFF");
    out.u32(static_cast<std::uint32_t>(36 + samples.bytes.size()));
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
    out.u32(static_cast<std::uint32_t>(samples.bytes.size()));
    out.append(samples.bytes.data(), samples.bytes.size());
    return out;
}

// A PNG of 8-bit RGBA pixels, its image data stored in uncompressed deflate blocks (icons are
// small). `pixel(x, y)` gives RGBA with y = 0 at the top.
class BigEndian {
  public:
    void u32(std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    std::vector<std::uint8_t> bytes;
};

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes, std::size_t from) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xffffffffu;
}

void pngChunk(ByteWriter& out, const char* type, const std::vector<std::uint8_t>& data) {
    BigEndian chunk;
    chunk.u32(static_cast<std::uint32_t>(data.size()));
    chunk.bytes.insert(chunk.bytes.end(), type, type + 4);
    chunk.bytes.insert(chunk.bytes.end(), data.begin(), data.end());
    chunk.u32(crc32(chunk.bytes, 4));
    out.append(chunk.bytes.data(), chunk.bytes.size());
}

template <typename PixelFunction>
ByteWriter png(int width, int height, PixelFunction pixel) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            double rgba[4] = {0.0, 0.0, 0.0, 0.0};
            pixel(x, y, rgba);
            for (const double channel : rgba) {
                raw.push_back(toByte(channel));
            }
        }
    }
    BigEndian zlib;
    zlib.bytes = {0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t count = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + count >= raw.size();
        zlib.bytes.push_back(last ? 1 : 0);
        zlib.bytes.push_back(static_cast<std::uint8_t>(count & 0xff));
        zlib.bytes.push_back(static_cast<std::uint8_t>(count >> 8));
        zlib.bytes.push_back(static_cast<std::uint8_t>(~count & 0xff));
        zlib.bytes.push_back(static_cast<std::uint8_t>((~count >> 8) & 0xff));
        zlib.bytes.insert(zlib.bytes.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                          raw.begin() + static_cast<std::ptrdiff_t>(at + count));
        if (last) {
            break;
        }
    }
    zlib.u32(b << 16 | a);

    ByteWriter out;
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    out.append(signature, sizeof signature);
    BigEndian header;
    header.u32(static_cast<std::uint32_t>(width));
    header.u32(static_cast<std::uint32_t>(height));
    header.bytes.insert(header.bytes.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, no interlace
    pngChunk(out, "IHDR", header.bytes);
    pngChunk(out, "IDAT", zlib.bytes);
    pngChunk(out, "IEND", {});
    return out;
}

// The desktop icon: seven cells of the board, one in each colour a player can pick, in the
// bevelled grey of the cell texture, on a clear ground. Each pixel averages 4 x 4 samples, so
// the edges are smooth.
ByteWriter icon() {
    const int size = 64;
    const double root3 = std::sqrt(3.0);
    // Corners left and right, as on the board; the middle cell and its six neighbours.
    const double r = size / 5.4;
    const double centres[7][2] = {
        {0, 0},     {0, -root3},       {1.5, -root3 / 2}, {1.5, root3 / 2},
        {0, root3}, {-1.5, root3 / 2}, {-1.5, -root3 / 2}};
    const int colours[7] = {1, 4, 2, 6, 3, 5, 7};
    return png(size, size, [&](int x, int y, double* rgba) {
        double sum[3] = {0.0, 0.0, 0.0};
        int covered = 0;
        for (int sample = 0; sample < 16; ++sample) {
            const double px = x + (sample % 4 + 0.5) / 4.0 - size / 2.0;
            const double py = y + (sample / 4 + 0.5) / 4.0 - size / 2.0;
            for (int cell = 0; cell < 7; ++cell) {
                const double cellRadius = r * 0.93;
                const double dx = (px - centres[cell][0] * r) / cellRadius;
                const double dy = (py - centres[cell][1] * r) / cellRadius;
                const double d = hexDistance((dx + 1.0) / 2.0, (dy + 1.0) / 2.0);
                if (d > 1.0) {
                    continue;
                }
                // A sharper rim than the texture's, as the icon is small.
                const double shade = cellShade(d, 0.2 * (-dx - dy) * 0.5, 0.9, 0.15);
                const float* colour = PlayerColours[colours[cell]];
                for (int c = 0; c < 3; ++c) {
                    sum[c] += colour[c] * shade;
                }
                ++covered;
                break;
            }
        }
        for (int c = 0; c < 3; ++c) {
            rgba[c] = covered > 0 ? sum[c] / covered : 0.0;
        }
        rgba[3] = covered / 16.0;
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icon") {
        return save(argv[2], icon()) ? 0 : 1;
    }
    if (argc != 2) {
        std::cerr << "usage: tintfall-assets DATA_FOLDER\n       tintfall-assets --icon FILE\n";
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
