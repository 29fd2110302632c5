// Byte images of mesh files for the tests, written field by field so a test
// can also write them wrong on purpose.
#pragma once

#include <algorithm>
#include <array>

#include "support/image_files.h"

namespace testing_support {

struct MeshImage {
    using Xyz = std::array<float, 3>;
    unsigned indexForm = 1;
    std::vector<Xyz> positions, normals;
    std::vector<std::pair<float, float>> texCoords;
    // Three indices per face in the unified form, nine (vertex, normal, uv triples) in the
    // separate form.
    std::vector<std::vector<unsigned>> faces;

    // Without a texture reference.
    std::string bytes() const {
        ByteWriter out;
        out.text(std::string("smf\0", 4)).u8(indexForm).u8(0).u16(unsigned(positions.size()));
        out.u16(unsigned(normals.size()))
            .u16(unsigned(faces.size()))
            .u16(unsigned(texCoords.size()));
        for (const std::vector<Xyz>* list : {&positions, &normals})
            for (const Xyz& p : *list)
                out.f32(p[0]).f32(p[1]).f32(p[2]);
        for (const auto& [u, v] : texCoords)
            out.f32(u).f32(v);
        for (const std::vector<unsigned>& face : faces)
            std::for_each(face.begin(), face.end(), [&](unsigned index) { out.u16(index); });
        return out.bytes();
    }
};

}  // namespace testing_support
