// Meshes and the static batch without a window: the mesh file both ways, refused files, unified
// indices, computed normals, the batch's capacities and placement, and the placement matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/matrix.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "render/rotation.h"
#include "render/static_batch.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

static bool loadMesh(Polyhedron& mesh, const std::string& bytes, const std::string& tag = "smf") {
    std::istringstream in(bytes);
    return mesh.load(in, tag);
}

// What the mesh saves as: everything unifyIndices may touch.
static std::string saved(Polyhedron& mesh) {
    EXPECT_TRUE(mesh.save());
    return std::string(mesh.data().begin(), mesh.data().end());
}

// A unified triangle pair: a unit square in the z = 0 plane.
static MeshImage square() {
    // clang-format off
    return {1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, std::vector<MeshImage::Xyz>(4, {0, 0, 1}),
            {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{0, 1, 2}, {0, 2, 3}}};
    // clang-format on
}

// Every face corner of a unified mesh names one index for all three arrays, inside them.
static void expectUnified(const Polyhedron& mesh) {
    EXPECT_TRUE(mesh.normalCount() == mesh.vertexCount() &&
                mesh.texCoordCount() == mesh.vertexCount());
    for (int c = 0; c < 3 * mesh.faceCount(); ++c) {
        const int v = mesh.faceVertex(c / 3, c % 3);
        EXPECT_TRUE(v < mesh.vertexCount() && mesh.faceNormal(c / 3, c % 3) == v &&
                    mesh.faceTexCoord(c / 3, c % 3) == v)
            << c;
    }
}

// A mesh of `vertices` points, `uvs` texture coordinates and `faces` triangles on vertex 0..2.
static std::shared_ptr<Polyhedron> meshOf(int vertices, int uvs, int faces) {
    auto mesh = std::make_shared<Polyhedron>();
    mesh->setMesh(std::vector<Vector>(vertices), std::vector<Vector>(vertices),
                  std::vector<TexCoord>(uvs), std::vector<Face>(faces, Face{{0, 1, 2}, {}, {}}));
    return mesh;
}

TEST(MeshFile, SavedMeshesReadBackUnchanged) {
    Polyhedron original;
    std::string bytes = square().bytes();
    bytes[3] = 'X';  // the fourth byte is not examined
    ASSERT_TRUE(loadMesh(original, bytes));
    // Saving twice replaces the buffer.
    EXPECT_EQ(saved(original) + saved(original), square().bytes() + square().bytes());
    Polyhedron copy;
    ASSERT_TRUE(loadMesh(copy, saved(original), "map"));
    EXPECT_EQ(saved(copy), square().bytes());

    // A faceless mesh with unequal arrays: the missing elements are saved as zero.
    Polyhedron faceless;
    faceless.setMesh({Vector(1, 2, 3), Vector(4, 5, 6)}, {Vector(0, 0, 1)}, {}, {});
    ASSERT_TRUE(loadMesh(copy, saved(faceless)));
    EXPECT_EQ(std::make_tuple(copy.texCoordCount(), copy.vertex(1).z, copy.normal(0).z,
                              copy.normal(1).length(), copy.texCoord(1).u),
              std::make_tuple(2, 6.0f, 1.0f, 0.0f, 0.0f));
}

TEST(MeshFile, ForeignAndBrokenFilesAreRefusedSilently) {
    const std::string good = square().bytes();
    for (const char* tag : {"SMF", "Smf", "bmp", "", "smp"}) {
        std::istringstream in(good);
        EXPECT_FALSE(Polyhedron().load(in, tag) || in.tellg() != 0) << tag;  // nothing read
    }
    // A wrong magic, index form 2, a cut file.
    for (const std::string& bytes :
         {good.substr(0, 1) + "M" + good.substr(2), good.substr(0, 4) + '\2' + good.substr(5),
          good.substr(0, good.size() - 1)}) {
        Polyhedron mesh;
        EXPECT_FALSE(loadMesh(mesh, bytes) || mesh.faceCount() != 0);
    }
    EXPECT_EQ(readFile("debug.log"), "");

    // Unified indices over arrays of different lengths are named.
    MeshImage uneven = square();
    uneven.positions.push_back({0, 0, 0});
    uneven.normals.push_back({0, 0, 1});
    Polyhedron mesh;
    EXPECT_FALSE(loadMesh(mesh, uneven.bytes()) || mesh.faceCount() != 0);
    EXPECT_EQ(readFile("debug.log"),
              "file properties set to same Vertex, UV and normal Indices but different size "
              "arrays stored in file; 5 vertices, 5 normals, 4 UVs\n");
}

TEST(MeshUnify, EveryDistinctCornerGetsOneEntryAndKeepsWhatItShowed) {
    // Each triangle has a normal of its own, and the second names the texture coordinates of
    // two corners the other way round.
    MeshImage image = square();
    image.indexForm = 0;
    image.normals = {{0, 0, 1}, {0, 0, -1}};
    image.faces = {{0, 1, 2, 0, 0, 0, 0, 1, 2}, {0, 2, 3, 1, 1, 1, 0, 3, 1}};
    Polyhedron mesh;
    ASSERT_TRUE(loadMesh(mesh, image.bytes()));
    EXPECT_EQ(mesh.vertexCount(), 6);  // corners 0 and 2 are shared only by position
    expectUnified(mesh);
    for (int c = 0; c < 6; ++c) {
        const auto& face = image.faces[c / 3];
        const auto& [p, n, t] =
            std::make_tuple(image.positions[face[c % 3]], image.normals[face[3 + c % 3]],
                            image.texCoords[face[6 + c % 3]]);
        const int i = mesh.faceVertex(c / 3, c % 3);
        EXPECT_EQ(std::make_tuple(mesh.vertex(i).x, mesh.vertex(i).y, mesh.normal(i).z,
                                  mesh.texCoord(i).u, mesh.texCoord(i).v),
                  std::make_tuple(p[0], p[1], n[2], t.first, t.second));
    }
    const std::string once = saved(mesh);
    mesh.unifyIndices();
    EXPECT_TRUE(saved(mesh) == once && !fileExists("debug.log"));
    // Indices outside the arrays become zero elements: 4 lies just beyond all four.
    image = square();
    image.faces.push_back({2, 3, 4});
    Polyhedron outside;
    ASSERT_TRUE(loadMesh(outside, image.bytes()));
    outside.unifyIndices();
    EXPECT_EQ(readFile("debug.log"),
              "invalid Vertex index 4\ninvalid normal index 4\ninvalid UV index 4\n");
    expectUnified(outside);
    EXPECT_TRUE(outside.vertexCount() == 5 &&
                outside.vertex(outside.faceVertex(2, 2)).length() == 0);
}

TEST(MeshNormals, VertexNormalsAverageTheFacesAroundThem) {
    // A roof: a face of area 1/2 facing +z and one of area 1 facing +y meet along the edge from
    // vertex 0 to vertex 1; a zero-area face on vertices 2, 4, 4; vertex 5 used by no face; two
    // faces with an index just beyond the arrays.
    Polyhedron mesh;
    mesh.setMesh({Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 2),
                  Vector(5, 5, 5), Vector(9, 9, 9)},
                 {}, std::vector<TexCoord>(6),
                 {Face{{0, 1, 2}, {}, {}}, Face{{0, 3, 1}, {}, {}}, Face{{2, 4, 4}, {}, {}},
                  Face{{6, 1, 2}, {}, {}}, Face{{1, 2, 6}, {}, {}}});
    mesh.computeNormals();
    // Every face counts alike, whatever its size: the shared edge lies halfway between. Neither
    // the zero-area face nor the broken ones add anything.
    const float h = std::sqrt(0.5f);
    const Vector expected[] = {Vector(0, h, h), Vector(0, h, h), Vector(0, 0, 1),
                               Vector(0, 1, 0), Vector(),        Vector()};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR((mesh.normal(i) - expected[i]).length(), 0.0f, 1e-6f) << i;
    EXPECT_EQ(mesh.faceNormal(1, 1), 3);
}

TEST(StaticBatchLimits, TheLastThatFitsIsTakenAndTheNextRefusedWithALine) {
    const auto tiny = meshOf(3, 3, 1);
    const auto big = meshOf(65536, 65536, 1);
    using Meshes = std::vector<std::shared_ptr<Polyhedron>>;
    const std::tuple<Meshes, std::shared_ptr<Polyhedron>, const char*> cases[] = {
        {{big, big, big, big}, tiny, "Too many vertices, cannot add more\n"},
        {{meshOf(3, 3, StaticBatch::maxTriangles)}, tiny, "Too many faces, cannot add more\n"},
        {Meshes(StaticBatch::maxEntries, tiny), tiny, "Too many entities, cannot add more\n"},
        {{}, meshOf(4, 3, 1), "Cannot use polyhedron, numVerts != numUVs\n"},
    };
    LogCapture log;
    for (const auto& [fitting, refused, message] : cases) {
        log.clear();
        StaticBatch batch;
        batch.resetBatch();
        for (std::size_t i = 0; i < fitting.size(); ++i)
            ASSERT_EQ(batch.addToBatch(*fitting[i], Matrix(), static_cast<int>(i % 9), nullptr),
                      static_cast<int>(i));
        EXPECT_EQ(batch.addToBatch(*refused, Matrix(), 1, nullptr), -1);
        EXPECT_EQ(log.text() + std::to_string(batch.entryCount()),
                  message + std::to_string(fitting.size()));
    }
}

TEST(StaticBatchLimits, EntriesArePlacedByTheirTransformAndTakeColours) {
    StaticBatch batch;
    auto mesh = meshOf(3, 3, 2);
    struct : BatchOwner {
        void setBatchIndex(int) override {}
    } owner;
    batch.resetBatch(), batch.addToBatch(*mesh, Matrix(), 0, nullptr);
    EXPECT_EQ(batch.addToBatch(*mesh, Matrix(Vector(2, 3, 4), Matrix::translation), 0, &owner), 1);
    EXPECT_EQ(batch.entry(1).owner, &owner);
    // The second entry's triangles index its own vertices; a mesh without texture binds none.
    const float* v = &batch.vertices()[9];
    const GLuint* i = &batch.indices()[6];
    EXPECT_EQ(std::make_tuple(batch.entry(1).firstVertex, batch.entry(1).firstTriangle, v[0], v[1],
                              v[2], i[0], i[1], i[2], batch.entry(0).texture),
              std::make_tuple(3, 2, 2.0f, 3.0f, 4.0f, 3u, 4u, 5u, 0u));
    // Only an entry there is takes a colour, and makes the list out of date.
    batch.batchDirty = false;
    batch.setEntryColour(-1, 5), batch.setEntryColour(2, 5);
    EXPECT_FALSE(batch.batchDirty);
    batch.setEntryColour(1, 5);
    EXPECT_EQ(std::make_pair(batch.batchDirty, batch.entry(1).colour), std::make_pair(true, 5));
    // A reset empties the batch, which is to be compiled again.
    batch.batchDirty = false;
    batch.resetBatch();
    EXPECT_EQ(std::make_tuple(batch.batchDirty, batch.entryCount(), batch.vertexCount()),
              std::make_tuple(true, 0, 0));
}

// The placement matrices and the palette the batch draws with.
TEST(RenderMath, MatricesTurnMoveAndReadBackAndColoursStayInThePalette) {
    auto expectPoint = [](const Matrix& m, const Vector& from, const Vector& to) {
        const Vector v = m.transformPoint(from);
        EXPECT_NEAR((v - to).length(), 0.0f, 1e-5f) << v.x << ", " << v.y << ", " << v.z;
    };
    // a turns about z, b about y, c about x; c acts first.
    expectPoint(Matrix(Rotation(0, 16384, 0)), Vector(1, 0, 0), Vector(0, 0, -1));
    expectPoint(Matrix(Rotation(16384, 0, 16384)), Vector(0, 0, 1), Vector(1, 0, 0));
    // Translation x scale x rotation turns, then scales, then moves.
    Matrix placement(Vector(1, 2, 3), Matrix::translation);
    placement.multiply(Matrix(Vector(2, 3, 4), Matrix::scale));
    placement.multiply(Matrix(Rotation(16384, 0, 0)));
    expectPoint(placement, Vector(1, 0, 0), Vector(1, 5, 3));
    // A matrix's raw bytes read back whole.
    std::istringstream in(std::string(static_cast<const char*>(placement.data()), 48));
    Matrix copy(Vector(9, 9, 9), Matrix::scale);
    EXPECT_TRUE(copy.read(in) && std::memcmp(copy.m, placement.m, sizeof copy.m) == 0);
    // Colours outside the palette take its first row rather than reading past it.
    for (int colour : {-1, 9, 42})
        EXPECT_EQ(playerColour(colour), playerColour(0)) << colour;
}
