#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>
#include <tuple>
#include <vector>

#include "engine/resource_manager.h"
#include "render/polyhedron.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using testing_support::MeshImage;
using testing_support::readFile;
using testing_support::ScratchDirectory;

namespace {

bool loadMesh(Polyhedron& mesh, const std::string& bytes, const std::string& tag = "smf") {
    std::istringstream in(bytes);
    return mesh.load(in, tag);
}

// A unified triangle pair: a unit square in the z = 0 plane.
MeshImage square() {
    MeshImage image;
    image.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    image.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    image.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    image.faces = {{0, 1, 2}, {0, 2, 3}};
    return image;
}

// A cube with separate index lists: 8 corners (bit 0 = x, bit 1 = y, bit 2 = z), one normal
// per side, four texture coordinates shared by all sides.
MeshImage separateCube() {
    MeshImage image;
    image.indexForm = 0;
    for (unsigned i = 0; i < 8; ++i) {
        image.positions.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    }
    image.normals = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    image.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const unsigned sides[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                  {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    for (unsigned side = 0; side < 6; ++side) {
        const unsigned* q = sides[side];
        image.faces.push_back({q[0], q[1], q[2], side, side, side, 0, 1, 2});
        image.faces.push_back({q[0], q[2], q[3], side, side, side, 0, 2, 3});
    }
    return image;
}

std::string logText() {
    return readFile("debug.log");
}

std::size_t occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

// Everything unifyIndices may touch, for comparing two states of a mesh.
auto snapshot(const Polyhedron& mesh) {
    std::vector<std::tuple<float, float, float, float, float, float, float, float>> elements;
    for (int i = 0; i < mesh.vertexCount(); ++i) {
        const Vector p = mesh.vertex(i);
        const Vector n = mesh.normal(i);
        const TexCoord t = mesh.texCoord(i);
        elements.emplace_back(p.x, p.y, p.z, n.x, n.y, n.z, t.u, t.v);
    }
    std::vector<int> indices;
    for (int f = 0; f < mesh.faceCount(); ++f) {
        for (int k = 0; k < 3; ++k) {
            indices.push_back(mesh.faceVertex(f, k));
            indices.push_back(mesh.faceNormal(f, k));
            indices.push_back(mesh.faceTexCoord(f, k));
        }
    }
    return std::make_tuple(mesh.vertexCount(), mesh.normalCount(), mesh.texCoordCount(), elements,
                           indices);
}

void expectUnified(const Polyhedron& mesh) {
    EXPECT_EQ(mesh.normalCount(), mesh.vertexCount());
    EXPECT_EQ(mesh.texCoordCount(), mesh.vertexCount());
    for (int f = 0; f < mesh.faceCount(); ++f) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_LT(mesh.faceVertex(f, k), mesh.vertexCount());
            EXPECT_EQ(mesh.faceNormal(f, k), mesh.faceVertex(f, k));
            EXPECT_EQ(mesh.faceTexCoord(f, k), mesh.faceVertex(f, k));
        }
    }
}

// A stream that cannot seek, like a pipe: the reader cannot ask how much is left.
class OneWayBuffer : public std::streambuf {
  public:
    explicit OneWayBuffer(std::string bytes) : bytes_(std::move(bytes)) {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

  private:
    std::string bytes_;
};

}  // namespace

TEST(MeshFile, SavedMeshReadsBackUnchanged) {
    ScratchDirectory scratch;
    Polyhedron original;
    ASSERT_TRUE(loadMesh(original, square().bytes()));
    ASSERT_TRUE(original.save());
    const std::vector<std::uint8_t>& saved = original.data();
    ASSERT_EQ(saved.size(), 14u + 4 * 12 + 4 * 12 + 4 * 8 + 2 * 6);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), std::string("smf\0\1\0", 6));
    EXPECT_EQ(std::string(saved.begin(), saved.end()), square().bytes());

    // Saving twice replaces the buffer.
    ASSERT_TRUE(original.save());
    EXPECT_EQ(original.data().size(), saved.size());

    Polyhedron copy;
    ASSERT_TRUE(loadMesh(copy, std::string(saved.begin(), saved.end()), "map"));
    EXPECT_EQ(snapshot(copy), snapshot(original));
    EXPECT_EQ(copy.faceCount(), 2);
    EXPECT_EQ(copy.getTypeId(), 2);
}

TEST(MeshFile, FacelessMeshWithUnequalArraysSavesReadably) {
    ScratchDirectory scratch;
    Polyhedron mesh;
    mesh.setMesh({Vector(1, 2, 3), Vector(4, 5, 6)}, {Vector(0, 0, 1)}, {}, {});
    ASSERT_TRUE(mesh.save());
    Polyhedron copy;
    ASSERT_TRUE(loadMesh(copy, std::string(mesh.data().begin(), mesh.data().end())));
    EXPECT_EQ(copy.vertexCount(), 2);
    EXPECT_EQ(copy.normalCount(), 2);
    EXPECT_EQ(copy.texCoordCount(), 2);
    EXPECT_EQ(copy.vertex(1).z, 6.0f);
    EXPECT_EQ(copy.normal(0).z, 1.0f);
    EXPECT_EQ(copy.normal(1).length(), 0.0f);
}

TEST(MeshFile, TagMagicAndIndexFormAreChecked) {
    ScratchDirectory scratch;
    const std::string good = square().bytes();
    for (const char* tag : {"SMF", "Smf", "bmp", "", "smp"}) {
        std::istringstream in(good);
        Polyhedron mesh;
        EXPECT_FALSE(mesh.load(in, tag)) << tag;
        EXPECT_EQ(in.tellg(), std::streampos(0)) << tag;  // nothing read
    }
    std::string wrongMagic = good;
    wrongMagic[1] = 'M';
    Polyhedron mesh;
    EXPECT_FALSE(loadMesh(mesh, wrongMagic));
    MeshImage badForm = square();
    badForm.indexForm = 2;
    EXPECT_FALSE(loadMesh(mesh, badForm.bytes()));
    // The fourth byte is not examined.
    std::string otherPad = good;
    otherPad[3] = 'X';
    EXPECT_TRUE(loadMesh(mesh, otherPad));
    // A wrong magic is refused silently.
    EXPECT_EQ(logText(), "");
}

TEST(MeshFile, UnifiedFileWithMismatchedArraysIsRefused) {
    ScratchDirectory scratch;
    MeshImage image;
    for (int i = 0; i < 7; ++i) {
        image.positions.push_back({float(i), 0, 0});
        image.normals.push_back({0, 0, 1});
    }
    for (int i = 0; i < 6; ++i) {
        image.texCoords.push_back({0, float(i)});
    }
    image.faces = {{0, 1, 2}, {3, 4, 5}};
    Polyhedron mesh;
    EXPECT_FALSE(loadMesh(mesh, image.bytes()));
    EXPECT_EQ(logText(),
              "file properties set to same Vertex, UV and normal Indices but different size "
              "arrays stored in file; 7 vertices, 7 normals, 6 UVs\n");
    EXPECT_EQ(mesh.faceCount(), 0);
}

TEST(MeshUnify, SeparateCubeGetsOneEntryPerDistinctCorner) {
    ScratchDirectory scratch;
    const MeshImage cube = separateCube();
    Polyhedron mesh;
    ASSERT_TRUE(loadMesh(mesh, cube.bytes()));
    std::set<std::tuple<unsigned, unsigned, unsigned>> distinct;
    for (const auto& face : cube.faces) {
        for (int k = 0; k < 3; ++k) {
            distinct.emplace(face[k], face[3 + k], face[6 + k]);
        }
    }
    EXPECT_EQ(mesh.vertexCount(), static_cast<int>(distinct.size()));
    EXPECT_EQ(mesh.vertexCount(), 24);
    EXPECT_EQ(mesh.faceCount(), 12);
    expectUnified(mesh);
    // Every corner still shows the position, normal and texture coordinate it had.
    for (int f = 0; f < 12; ++f) {
        for (int k = 0; k < 3; ++k) {
            const auto& p = cube.positions[cube.faces[f][k]];
            const auto& n = cube.normals[cube.faces[f][3 + k]];
            const auto& t = cube.texCoords[cube.faces[f][6 + k]];
            const int index = mesh.faceVertex(f, k);
            EXPECT_EQ(mesh.vertex(index).x, p.x);
            EXPECT_EQ(mesh.vertex(index).y, p.y);
            EXPECT_EQ(mesh.vertex(index).z, p.z);
            EXPECT_EQ(mesh.normal(index).x, n.x);
            EXPECT_EQ(mesh.normal(index).y, n.y);
            EXPECT_EQ(mesh.normal(index).z, n.z);
            EXPECT_EQ(mesh.texCoord(index).u, t.u);
            EXPECT_EQ(mesh.texCoord(index).v, t.v);
        }
    }
    const auto once = snapshot(mesh);
    mesh.unifyIndices();
    EXPECT_EQ(snapshot(mesh), once);
    EXPECT_EQ(logText(), "");
}

TEST(MeshUnify, SeparateFileWithoutNormalsLogsEveryCorner) {
    ScratchDirectory scratch;
    MeshImage cube = separateCube();
    cube.normals.clear();
    Polyhedron mesh;
    ASSERT_TRUE(loadMesh(mesh, cube.bytes()));
    EXPECT_EQ(mesh.vertexCount(), 24);
    expectUnified(mesh);
    const std::string log = logText();
    EXPECT_EQ(occurrences(log, "invalid normal index "), 24u);
    for (unsigned side = 0; side < 6; ++side) {
        // Each side's normal index appears once per distinct corner of that side.
        EXPECT_EQ(occurrences(log, "invalid normal index " + std::to_string(side) + "\n"), 4u);
    }
    EXPECT_EQ(occurrences(log, "invalid Vertex index "), 0u);
    EXPECT_EQ(occurrences(log, "invalid UV index "), 0u);
    for (int i = 0; i < mesh.normalCount(); ++i) {
        EXPECT_EQ(mesh.normal(i).length(), 0.0f);
    }
}

TEST(MeshUnify, IndicesOutsideTheArraysBecomeZeroElements) {
    ScratchDirectory scratch;
    MeshImage image = square();
    image.faces.push_back({2, 3, 9});  // 9 lies beyond all four arrays
    Polyhedron mesh;
    ASSERT_TRUE(loadMesh(mesh, image.bytes()));
    mesh.unifyIndices();
    EXPECT_EQ(logText(), "invalid Vertex index 9\ninvalid normal index 9\ninvalid UV index 9\n");
    EXPECT_EQ(mesh.vertexCount(), 5);
    expectUnified(mesh);
    const int bad = mesh.faceVertex(2, 2);
    EXPECT_EQ(mesh.vertex(bad).length(), 0.0f);
    EXPECT_EQ(mesh.texCoord(bad).u, 0.0f);

    // Normals computed over faces with indices beyond the arrays stay finite.
    Polyhedron raw;
    raw.setMesh({Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0)}, {}, {},
                {Face{{0, 1, 2}, {}, {}}, Face{{0, 1, 60000}, {}, {}}});
    raw.computeNormals();
    ASSERT_EQ(raw.normalCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::isfinite(raw.normal(i).length()));
        EXPECT_NEAR(raw.normal(i).z, 1.0f, 1e-6f);
    }
}

TEST(MeshUnify, TooManyDistinctCornersLeaveTheMeshEmpty) {
    ScratchDirectory scratch;
    std::vector<Face> faces(21846);  // 65538 corners, all distinct
    unsigned corner = 0;
    for (Face& face : faces) {
        for (int k = 0; k < 3; ++k, ++corner) {
            face.vertex[k] = static_cast<std::uint16_t>(corner % 65535);
            face.normal[k] = static_cast<std::uint16_t>(corner / 65535);
        }
    }
    Polyhedron mesh;
    mesh.setName("huge.smf");
    mesh.setMesh(std::vector<Vector>(65535), std::vector<Vector>(2), std::vector<TexCoord>(1),
                 faces);
    mesh.unifyIndices();
    EXPECT_EQ(mesh.vertexCount(), 0);
    EXPECT_EQ(mesh.faceCount(), 0);
    EXPECT_NE(logText().find("Mesh huge.smf has too many distinct corners"), std::string::npos);
    ASSERT_TRUE(mesh.save());
    Polyhedron copy;
    EXPECT_TRUE(loadMesh(copy, std::string(mesh.data().begin(), mesh.data().end())));
}

TEST(MeshNormals, VertexNormalsAverageTheFacesAroundThem) {
    ScratchDirectory scratch;
    // A roof: two faces meeting at a right angle along the edge from vertex 0 to vertex 1; a
    // zero-area face on vertices 2, 4, 4; vertex 5 used by no face.
    Polyhedron mesh;
    mesh.setMesh({Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1),
                  Vector(5, 5, 5), Vector(9, 9, 9)},
                 {}, std::vector<TexCoord>(6),
                 {Face{{0, 1, 2}, {}, {}}, Face{{0, 3, 1}, {}, {}}, Face{{2, 4, 4}, {}, {}}});
    mesh.computeNormals();
    ASSERT_EQ(mesh.normalCount(), 6);
    const float h = std::sqrt(0.5f);
    // Face 0 faces +z, face 1 faces +y: the shared edge averages them.
    for (int shared : {0, 1}) {
        EXPECT_NEAR(mesh.normal(shared).x, 0.0f, 1e-6f);
        EXPECT_NEAR(mesh.normal(shared).y, h, 1e-6f);
        EXPECT_NEAR(mesh.normal(shared).z, h, 1e-6f);
    }
    EXPECT_NEAR(mesh.normal(2).z, 1.0f, 1e-6f);  // the zero-area face adds nothing
    EXPECT_NEAR(mesh.normal(3).y, 1.0f, 1e-6f);
    EXPECT_EQ(mesh.normal(4).length(), 0.0f);
    EXPECT_EQ(mesh.normal(5).length(), 0.0f);
    for (int f = 0; f < mesh.faceCount(); ++f) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(mesh.faceNormal(f, k), mesh.faceVertex(f, k));
        }
    }
}

TEST(MeshTexture, WithoutResourceManagerEveryTextureIsNull) {
    ScratchDirectory scratch;
    ASSERT_EQ(resourceManager(), nullptr);
    MeshImage image = square();
    Polyhedron plain;
    EXPECT_EQ(plain.texture(), nullptr);
    ASSERT_TRUE(loadMesh(plain, image.bytes()));
    EXPECT_EQ(plain.texture(), nullptr);
    image.hasTextureFlag = true;
    image.textureReference = "Stone.bmp";
    Polyhedron referenced;
    EXPECT_TRUE(loadMesh(referenced, image.bytes()));
    EXPECT_EQ(referenced.texture(), nullptr);
}

TEST(MeshHostileFiles, EveryTruncationIsRefused) {
    ScratchDirectory scratch;
    MeshImage image = separateCube();
    image.hasTextureFlag = true;
    image.textureReference = "Stone.bmp";
    const std::string whole = image.bytes();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        Polyhedron mesh;
        EXPECT_FALSE(loadMesh(mesh, whole.substr(0, length))) << length;
        mesh.computeNormals();
        mesh.unifyIndices();
        EXPECT_TRUE(mesh.save());
    }
    Polyhedron mesh;
    EXPECT_TRUE(loadMesh(mesh, whole));
}

TEST(MeshHostileFiles, CountsBeyondTheFileAreRefusedBeforeReading) {
    ScratchDirectory scratch;
    struct Lie {
        int vertices, normals, faces, texCoords, referenceLength;
    };
    const Lie lies[] = {
        {65535, -1, -1, -1, -1}, {-1, 65535, -1, -1, -1}, {-1, -1, 65535, -1, -1},
        {-1, -1, -1, 65535, -1}, {-1, -1, -1, -1, 65535}, {-1, -1, 5, -1, -1},
    };
    for (const Lie& lie : lies) {
        MeshImage image = square();
        image.hasTextureFlag = true;
        image.textureReference = "Stone.bmp";
        image.vertexCount = lie.vertices;
        image.normalCount = lie.normals;
        image.faceCount = lie.faces;
        image.texCoordCount = lie.texCoords;
        image.referenceLength = lie.referenceLength;
        Polyhedron mesh;
        EXPECT_FALSE(loadMesh(mesh, image.bytes()));
        EXPECT_LE(mesh.vertexCount(), 4);
        EXPECT_LE(mesh.faceCount(), 2);
    }
}

TEST(MeshHostileFiles, StreamsThatCannotSeekAreReadAllTheSame) {
    ScratchDirectory scratch;
    const std::string whole = separateCube().bytes();
    {
        OneWayBuffer buffer(whole);
        std::istream in(&buffer);
        Polyhedron mesh;
        EXPECT_TRUE(mesh.load(in, "smf"));
        EXPECT_EQ(mesh.vertexCount(), 24);
    }
    {
        OneWayBuffer buffer(whole.substr(0, whole.size() - 1));
        std::istream in(&buffer);
        Polyhedron mesh;
        EXPECT_FALSE(mesh.load(in, "smf"));
    }
}
