// The static batch on a real GL: tiles drawn in their colours where the board puts them, the
// list rebuilt when a colour changes, owners told where their entries went.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/display.h"
#include "game/player_start.h"
#include "render/matrix.h"
#include "render/polyhedron.h"
#include "support/gl_pixels.h"
#include "support/test_support.h"

using testing_support::near;
using testing_support::paletteRgb;

namespace {

struct RecordingOwner : BatchOwner {
    int index = -1;
    void setBatchIndex(int newIndex) override { index = newIndex; }
};

std::unique_ptr<Polyhedron> hexMesh() {
    auto mesh = std::make_unique<Polyhedron>();
    EXPECT_TRUE(mesh->loadFromFile(std::string(TINTFALL_DATA_DIR) + "/Meshes/Hex.smf"));
    mesh->setTexture(nullptr);  // untextured: the pixels show the palette colours exactly
    return mesh;
}

// The transform and the centre of the cell (row, col) of a board, placed as the board does it.
std::pair<Matrix, Vector> place(int rows, int cols, int row, int col) {
    Tile cell(false);
    cell.row = row;
    cell.col = col;
    cell.placeOnBoard(rows, cols);
    Matrix transform(cell.position, Matrix::translation);
    transform.multiply(Matrix(cell.scale * cell.uniformScale, Matrix::scale));
    transform.multiply(Matrix(cell.rotation));
    return {transform, cell.position};
}

testing_support::Rgb pixelAt(const Display& display, const Vector& point) {
    return testing_support::pixelAt(display, point.x, point.y);
}

void drawFrame(Display& display) {
    display.rebuildBatch();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCallList(display.batch.displayList);
}

}  // namespace

TEST(StaticBatchDrawing, TilesShowTheirColoursWithAndWithoutCompiledVertexArrays) {
    for (bool compiledArrays : {true, false}) {
        Display display;
        ASSERT_TRUE(display.windowOpen);
        if (!compiledArrays) {
            glLockArraysEXT = nullptr;
            glUnlockArraysEXT = nullptr;
        }
        auto mesh = hexMesh();
        std::vector<RecordingOwner> owners(9);
        for (int i = 0; i < 9; ++i) {
            // Added in reverse colour order, so sorting moves every entry.
            EXPECT_EQ(display.batch.addToBatch(*mesh, place(3, 3, i / 3, i % 3).first, 8 - i,
                                               &owners[static_cast<std::size_t>(i)]),
                      i);
        }
        drawFrame(display);
        EXPECT_EQ(display.batch.arraysLocked, compiledArrays);
        for (int i = 0; i < 9; ++i) {
            const RecordingOwner& owner = owners[static_cast<std::size_t>(i)];
            // Sorted by colour: the tile of colour k is entry k.
            EXPECT_EQ(owner.index, 8 - i);
            EXPECT_EQ(display.batch.entry(owner.index).owner, &owner);
            EXPECT_TRUE(near(pixelAt(display, place(3, 3, i / 3, i % 3).second), paletteRgb(8 - i)))
                << i;
        }
        // Just outside the board the clear colour shows.
        EXPECT_TRUE(near(testing_support::pixelAt(display, 0.02, 0.02), {178, 178, 178}));

        // Recolouring one tile changes that tile and no other.
        display.batch.setEntryColour(owners[4].index, 1);
        drawFrame(display);
        EXPECT_FALSE(display.batch.batchDirty);
        for (int i = 0; i < 9; ++i) {
            EXPECT_TRUE(near(pixelAt(display, place(3, 3, i / 3, i % 3).second),
                             paletteRgb(i == 4 ? 1 : 8 - i)))
                << "after recolouring, tile " << i;
        }
        EXPECT_FALSE(testing_support::fileExists("debug.log"));
    }
}

TEST(StaticBatchDrawing, NeighboursTouchAndEntriesAddedAfterARebuildDraw) {
    Display display;
    auto mesh = hexMesh();
    for (int i = 0; i < 4; ++i) {
        if (i == 3) {
            drawFrame(display);  // the last cell comes after a rebuild
        }
        display.batch.addToBatch(*mesh, place(2, 2, i / 2, i % 2).first, 1, nullptr);
    }
    display.batch.setEntryColour(3, 4);  // adding alone leaves the list as it is
    drawFrame(display);
    // The midpoint between two neighbours' centres lies on their shared edge: covered.
    const Vector a = place(2, 2, 0, 0).second;
    EXPECT_TRUE(near(pixelAt(display, (a + place(2, 2, 1, 0).second) * 0.5f), paletteRgb(1)));
    EXPECT_TRUE(near(pixelAt(display, (a + place(2, 2, 0, 1).second) * 0.5f), paletteRgb(1)));
    EXPECT_TRUE(near(pixelAt(display, place(2, 2, 1, 1).second), paletteRgb(4)));
}

// While its player is to move, a start cell turns about its horizontal axis a step every frame,
// drawn over the batch. Front, edge-on or back to the viewer, it must still cover its place.
TEST(StaticBatchDrawing, TurningStartCellCoversItsPlaceAtEveryAngle) {
    Display display;
    auto mesh = hexMesh();
    for (int i = 0; i < 9; ++i) {
        if (i != 4) {
            display.batch.addToBatch(*mesh, place(3, 3, i / 3, i % 3).first, 2, nullptr);
        }
    }
    PlayerStart cell;
    cell.mesh = mesh.get();
    cell.row = cell.col = 1;
    cell.placeOnBoard(3, 3);
    std::string uncovered;
    for (int frame = 0; frame <= 8000 / 33 + 1; ++frame) {  // 45 degrees a second
        drawFrame(display);
        glColor4fv(playerColour(1));
        cell.draw();
        if (!near(pixelAt(display, cell.position), paletteRgb(1))) {
            uncovered += " " + std::to_string(cell.rotation.c * 360 / 65536);
        }
        cell.rotation.c = turnedAngle(cell.rotation.c, 33);
    }
    EXPECT_EQ(uncovered, "") << "degrees at which the cell's centre shows something else";
}
