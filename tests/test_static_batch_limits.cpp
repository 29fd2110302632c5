// The batch's capacities, refusals and placement; none of this needs a GL context.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/matrix.h"
#include "render/polyhedron.h"
#include "render/static_batch.h"
#include "support/test_support.h"

namespace {

// A mesh of `vertices` points, `uvs` texture coordinates and `faces` triangles on vertex 0..2.
std::shared_ptr<Polyhedron> meshOf(int vertices, int uvs, int faces) {
    auto mesh = std::make_shared<Polyhedron>();
    std::vector<Face> faceList(static_cast<std::size_t>(faces),
                               Face{{0, 1, 2}, {0, 1, 2}, {0, 1, 2}});
    mesh->setMesh(std::vector<Vector>(static_cast<std::size_t>(vertices)),
                  std::vector<Vector>(static_cast<std::size_t>(vertices)),
                  std::vector<TexCoord>(static_cast<std::size_t>(uvs)), faceList);
    return mesh;
}

}  // namespace

TEST(StaticBatchLimits, TheLastThatFitsIsTakenAndTheNextRefusedWithALine) {
    const auto tiny = meshOf(3, 3, 1);
    const auto big = meshOf(65536, 65536, 1);
    const struct {
        std::vector<std::shared_ptr<Polyhedron>> fitting;
        std::shared_ptr<Polyhedron> refused;
        const char* message;
    } cases[] = {
        {{big, big, big, big}, tiny, "Too many vertices, cannot add more\n"},
        {{meshOf(3, 3, StaticBatch::maxTriangles)}, tiny, "Too many faces, cannot add more\n"},
        {std::vector(StaticBatch::maxEntries, tiny), tiny, "Too many entities, cannot add more\n"},
        {{}, meshOf(4, 3, 1), "Cannot use polyhedron, numVerts != numUVs\n"},
    };
    testing_support::LogCapture log;
    for (const auto& c : cases) {
        log.clear();
        StaticBatch batch;
        batch.resetBatch();
        for (std::size_t i = 0; i < c.fitting.size(); ++i) {
            ASSERT_EQ(batch.addToBatch(*c.fitting[i], Matrix(), static_cast<int>(i % 9), nullptr),
                      static_cast<int>(i));
        }
        EXPECT_EQ(batch.addToBatch(*c.refused, Matrix(), 1, nullptr), -1);
        EXPECT_EQ(log.text(), c.message);
        EXPECT_EQ(batch.entryCount(), static_cast<int>(c.fitting.size()));
    }
}

TEST(StaticBatchLimits, EntriesArePlacedByTheirTransformAndTakeColours) {
    StaticBatch batch;
    batch.resetBatch();
    auto mesh = meshOf(3, 3, 2);
    batch.addToBatch(*mesh, Matrix(), 0, nullptr);
    EXPECT_EQ(batch.addToBatch(*mesh, Matrix(Vector(2, 3, 4), Matrix::translation), 0, nullptr), 1);
    EXPECT_EQ(batch.entry(1).firstVertex, 3);
    EXPECT_EQ(batch.entry(1).firstTriangle, 2);
    EXPECT_EQ(std::vector<float>(&batch.vertices()[9], &batch.vertices()[12]),
              (std::vector<float>{2, 3, 4}));
    // The second entry's triangles index its own vertices.
    EXPECT_EQ(std::vector<GLuint>(&batch.indices()[6], &batch.indices()[9]),
              (std::vector<GLuint>{3, 4, 5}));
    EXPECT_EQ(batch.entry(0).texture, 0u);  // a mesh without texture binds none
    // Only an entry there is takes a colour, and makes the list out of date.
    batch.batchDirty = false;
    batch.setEntryColour(-1, 5);
    batch.setEntryColour(2, 5);
    EXPECT_FALSE(batch.batchDirty);
    EXPECT_EQ(batch.entry(2).colour, 0);
    batch.setEntryColour(1, 5);
    EXPECT_TRUE(batch.batchDirty);
    EXPECT_EQ(batch.entry(1).colour, 5);
    // A reset empties the batch, which is to be compiled again.
    batch.batchDirty = false;
    batch.resetBatch();
    EXPECT_TRUE(batch.batchDirty);
    EXPECT_EQ(batch.entryCount(), 0);
    EXPECT_EQ(batch.vertexCount(), 0);
}
