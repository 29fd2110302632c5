// Byte images of mesh files and package files for the tests, written field by field so a test
// can also write them wrong on purpose.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/image_files.h"

namespace testing_support {

struct MeshImage {
    struct Xyz {
        float x, y, z;
    };
    struct Uv {
        float u, v;
    };
    unsigned indexForm = 1;
    std::vector<Xyz> positions;
    std::vector<Xyz> normals;
    std::vector<Uv> texCoords;
    // Three indices per face in the unified form, nine (vertex, normal, uv triples) in the
    // separate form.
    std::vector<std::vector<unsigned>> faces;
    bool hasTextureFlag = false;
    std::string textureReference;

    // Counts as written in the header; by default (-1) the real sizes.
    int vertexCount = -1;
    int normalCount = -1;
    int faceCount = -1;
    int texCoordCount = -1;
    int referenceLength = -1;

    std::string bytes() const {
        auto count = [](int given, std::size_t real) {
            return given >= 0 ? unsigned(given) : unsigned(real);
        };
        ByteWriter out;
        out.text(std::string("smf\0", 4)).u8(indexForm).u8(hasTextureFlag ? 1 : 0);
        out.u16(count(vertexCount, positions.size())).u16(count(normalCount, normals.size()));
        out.u16(count(faceCount, faces.size())).u16(count(texCoordCount, texCoords.size()));
        for (const Xyz& p : positions) {
            out.f32(p.x).f32(p.y).f32(p.z);
        }
        for (const Xyz& n : normals) {
            out.f32(n.x).f32(n.y).f32(n.z);
        }
        for (const Uv& t : texCoords) {
            out.f32(t.u).f32(t.v);
        }
        for (const std::vector<unsigned>& face : faces) {
            std::for_each(face.begin(), face.end(), [&](unsigned index) { out.u16(index); });
        }
        if (hasTextureFlag) {
            out.u16(count(referenceLength, textureReference.size())).text(textureReference);
        }
        return out.bytes();
    }
};

// A package file: 4-byte magic, reserved 0, N, the directory sorted by name, then the records
// (name followed by payload).
inline std::string packageBytes(std::string magic,
                                std::vector<std::pair<std::string, std::string>> records) {
    std::sort(records.begin(), records.end());
    ByteWriter out, data;
    magic.resize(4, '\0');
    out.text(magic).u16(0).u16(unsigned(records.size()));
    for (const auto& record : records) {
        out.u16(0).u16(unsigned(record.first.size()));
        out.u32(std::uint32_t(8 + 8 * records.size() + data.bytes().size()));
        data.text(record.first + record.second);
    }
    return out.text(data.bytes()).bytes();
}

}  // namespace testing_support
