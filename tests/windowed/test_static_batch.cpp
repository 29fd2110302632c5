// The static batch on a real GL: tiles drawn in their colours where the board puts them, the
// list rebuilt when a colour changes, owners told where their entries went.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/display.h"
#include "game/player_start.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "support/board_geometry.h"
#include "support/test_support.h"

using testing_support::placeCell;
using testing_support::readFile;
using testing_support::ScratchDirectory;

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

std::array<int, 3> pixelAt(const Display& display, const Vector& screenPoint) {
    const int x = static_cast<int>(screenPoint.x * display.width);
    const int y = display.height - 1 - static_cast<int>(screenPoint.y * display.width);
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

std::array<int, 3> expected(int colour) {
    const float* c = playerColour(colour);
    return {static_cast<int>(c[0] * 255 + 0.5f), static_cast<int>(c[1] * 255 + 0.5f),
            static_cast<int>(c[2] * 255 + 0.5f)};
}

void drawFrame(Display& display) {
    display.rebuildBatch();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCallList(display.batch.displayList);
    glFinish();
}

void expectNear(const std::array<int, 3>& actual, const std::array<int, 3>& wanted,
                const std::string& where) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], wanted[i], 2) << where << " channel " << i;
    }
}

// Nine tiles on a 3 by 3 board, tile i in colour i.
void checkBoardOfNineColours(bool withCompiledArrays) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    if (!withCompiledArrays) {
        glLockArraysEXT = nullptr;
        glUnlockArraysEXT = nullptr;
    }
    auto mesh = hexMesh();
    std::vector<RecordingOwner> owners(9);
    for (int i = 0; i < 9; ++i) {
        const auto cell = placeCell(3, 3, i / 3, i % 3);
        // Added in reverse colour order, so sorting moves every entry.
        EXPECT_EQ(display.batch.addToBatch(*mesh, cell.transform, 8 - i, &owners[i]), i);
    }
    drawFrame(display);
    EXPECT_EQ(display.batch.arraysLocked, withCompiledArrays);
    for (int i = 0; i < 9; ++i) {
        const auto cell = placeCell(3, 3, i / 3, i % 3);
        expectNear(pixelAt(display, cell.centre), expected(8 - i), "tile " + std::to_string(i));
        // Sorted by colour: the tile of colour k is entry k.
        EXPECT_EQ(owners[i].index, 8 - i);
        EXPECT_EQ(display.batch.entry(owners[i].index).owner, &owners[i]);
    }
    // Just outside the board the clear colour shows.
    expectNear(pixelAt(display, Vector(0.02f, 0.02f, 0)), {178, 178, 178}, "background");

    // Recolouring one tile changes that tile and no other.
    display.batch.setEntryColour(owners[4].index, 1);
    EXPECT_TRUE(display.batch.batchDirty);
    drawFrame(display);
    EXPECT_FALSE(display.batch.batchDirty);
    for (int i = 0; i < 9; ++i) {
        const auto cell = placeCell(3, 3, i / 3, i % 3);
        expectNear(pixelAt(display, cell.centre), expected(i == 4 ? 1 : 8 - i),
                   "after recolouring, tile " + std::to_string(i));
    }
    EXPECT_FALSE(testing_support::fileExists("debug.log"));
}

}  // namespace

TEST(StaticBatchDrawing, TilesShowTheirColoursWithCompiledVertexArrays) {
    checkBoardOfNineColours(true);
}

TEST(StaticBatchDrawing, TilesShowTheirColoursWithoutCompiledVertexArrays) {
    checkBoardOfNineColours(false);
}

TEST(StaticBatchDrawing, NeighbouringCellsTouch) {
    ScratchDirectory scratch;
    Display display;
    auto mesh = hexMesh();
    // The midpoint between two neighbours' centres lies on their shared edge: covered.
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < 2; ++row) {
            display.batch.addToBatch(*mesh, placeCell(2, 2, row, column).transform, 1, nullptr);
        }
    }
    drawFrame(display);
    const Vector a = placeCell(2, 2, 0, 0).centre;
    const Vector below = placeCell(2, 2, 1, 0).centre;
    const Vector right = placeCell(2, 2, 0, 1).centre;
    expectNear(pixelAt(display, (a + below) * 0.5f), expected(1), "between rows");
    expectNear(pixelAt(display, (a + right) * 0.5f), expected(1), "between columns");
}

TEST(StaticBatchDrawing, ColourChangeWithANegativeIndexLeavesTheBatchClean) {
    ScratchDirectory scratch;
    Display display;
    auto mesh = hexMesh();
    display.batch.addToBatch(*mesh, placeCell(1, 1, 0, 0).transform, 3, nullptr);
    drawFrame(display);
    const GLuint list = display.batch.displayList;
    display.batch.setEntryColour(-1, 5);
    display.batch.setEntryColour(7, 5);  // no such entry
    EXPECT_FALSE(display.batch.batchDirty);
    display.rebuildBatch();
    EXPECT_EQ(display.batch.displayList, list);
    EXPECT_EQ(display.batch.entry(0).colour, 3);
}

TEST(StaticBatchDrawing, EntriesAddedAfterARebuildStillFitAndDraw) {
    ScratchDirectory scratch;
    Display display;
    auto mesh = hexMesh();
    display.batch.addToBatch(*mesh, placeCell(1, 2, 0, 0).transform, 2, nullptr);
    drawFrame(display);
    display.batch.addToBatch(*mesh, placeCell(1, 2, 0, 1).transform, 4, nullptr);
    display.batch.setEntryColour(1, 4);
    drawFrame(display);
    expectNear(pixelAt(display, placeCell(1, 2, 0, 0).centre), expected(2), "first");
    expectNear(pixelAt(display, placeCell(1, 2, 0, 1).centre), expected(4), "second");
}

// While its player is to move, a start cell turns about its horizontal axis a step every frame,
// drawn over the batch. Front, edge-on or back to the viewer, it must still cover its place.
TEST(StaticBatchDrawing, TurningStartCellCoversItsPlaceAtEveryAngle) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    auto mesh = hexMesh();
    for (int i = 0; i < 9; ++i) {
        if (i != 4) {
            display.batch.addToBatch(*mesh, placeCell(3, 3, i / 3, i % 3).transform, 2, nullptr);
        }
    }
    PlayerStart cell;
    cell.mesh = mesh.get();
    cell.row = 1;
    cell.col = 1;
    cell.placeOnBoard(3, 3);
    const Vector centre = placeCell(3, 3, 1, 1).centre;
    std::string uncovered;
    const int framesPerTurn = 8000 / 33 + 1;  // 45 degrees a second
    for (int frame = 0; frame <= framesPerTurn; ++frame) {
        drawFrame(display);
        glColor4fv(playerColour(1));
        cell.draw();
        const auto shown = pixelAt(display, centre);
        for (int i = 0; i < 3; ++i) {
            if (std::abs(shown[i] - expected(1)[i]) > 2) {
                uncovered += " " + std::to_string(cell.rotation.c * 360 / 65536);
                break;
            }
        }
        cell.rotation.c = turnedAngle(cell.rotation.c, 33);
    }
    EXPECT_EQ(uncovered, "") << "degrees at which the cell's centre shows something else";
}
