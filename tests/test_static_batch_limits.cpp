// The batch's capacities and refusals; none of this needs a GL context.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/matrix.h"
#include "render/polyhedron.h"
#include "render/static_batch.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;

namespace {

// A mesh of `vertices` points, `uvs` texture coordinates and `faces` triangles on vertex 0..2.
std::unique_ptr<Polyhedron> meshOf(int vertices, int uvs, int faces) {
    auto mesh = std::make_unique<Polyhedron>();
    std::vector<Face> faceList(static_cast<std::size_t>(faces));
    for (Face& face : faceList) {
        for (int k = 0; k < 3; ++k) {
            face.vertex[k] = face.normal[k] = face.texCoord[k] = static_cast<std::uint16_t>(k);
        }
    }
    mesh->setMesh(std::vector<Vector>(static_cast<std::size_t>(vertices)),
                  std::vector<Vector>(static_cast<std::size_t>(vertices)),
                  std::vector<TexCoord>(static_cast<std::size_t>(uvs)), faceList);
    return mesh;
}

}  // namespace

TEST(StaticBatchLimits, ExactlyTheVertexCapacityIsAccepted) {
    ScratchDirectory scratch;
    StaticBatch batch;
    batch.resetBatch();
    auto big = meshOf(65536, 65536, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(batch.addToBatch(*big, Matrix(), 1, nullptr), i);
    }
    EXPECT_EQ(batch.vertexCount(), StaticBatch::maxVertices);
    auto one = meshOf(3, 3, 1);
    EXPECT_EQ(batch.addToBatch(*one, Matrix(), 1, nullptr), -1);
    EXPECT_EQ(readFile("debug.log"), "Too many vertices, cannot add more\n");
    EXPECT_EQ(batch.entryCount(), 4);
}

TEST(StaticBatchLimits, TheEntryAfterTheLastIsRefused) {
    ScratchDirectory scratch;
    StaticBatch batch;
    batch.resetBatch();
    auto tiny = meshOf(3, 3, 1);
    for (int i = 0; i < StaticBatch::maxEntries; ++i) {
        ASSERT_EQ(batch.addToBatch(*tiny, Matrix(), i % 9, nullptr), i);
    }
    EXPECT_EQ(batch.addToBatch(*tiny, Matrix(), 1, nullptr), -1);
    EXPECT_EQ(readFile("debug.log"), "Too many entities, cannot add more\n");
}

TEST(StaticBatchLimits, FaceCapacityAndMismatchedMeshes) {
    ScratchDirectory scratch;
    StaticBatch batch;
    batch.resetBatch();
    auto manyFaces = meshOf(3, 3, StaticBatch::maxTriangles);
    EXPECT_EQ(batch.addToBatch(*manyFaces, Matrix(), 1, nullptr), 0);
    EXPECT_EQ(batch.addToBatch(*meshOf(3, 3, 1), Matrix(), 1, nullptr), -1);
    StaticBatch other;
    other.resetBatch();
    EXPECT_EQ(other.addToBatch(*meshOf(4, 3, 1), Matrix(), 1, nullptr), -1);
    EXPECT_EQ(readFile("debug.log"),
              "Too many faces, cannot add more\nCannot use polyhedron, numVerts != numUVs\n");
}

TEST(StaticBatchLimits, AdditionsArePlacedByTheirTransform) {
    StaticBatch batch;
    batch.resetBatch();
    auto mesh = meshOf(3, 3, 2);
    Matrix moved(Vector(2, 3, 4), Matrix::translation);
    batch.addToBatch(*mesh, Matrix(), 0, nullptr);
    EXPECT_EQ(batch.addToBatch(*mesh, moved, 0, nullptr), 1);
    EXPECT_EQ(batch.entry(1).firstVertex, 3);
    EXPECT_EQ(batch.entry(1).firstTriangle, 2);
    EXPECT_FLOAT_EQ(batch.vertices()[9], 2.0f);
    EXPECT_FLOAT_EQ(batch.vertices()[10], 3.0f);
    EXPECT_FLOAT_EQ(batch.vertices()[11], 4.0f);
    // The second entry's triangles index its own vertices.
    EXPECT_EQ(batch.indices()[6], 3u);
    EXPECT_EQ(batch.indices()[8], 5u);
    EXPECT_EQ(batch.entry(0).texture, 0u);  // a mesh without texture binds none
    // Adding does not mark the batch dirty by itself; it is dirty from the reset.
    EXPECT_TRUE(batch.batchDirty);
}
