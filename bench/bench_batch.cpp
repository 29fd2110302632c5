// Filling and compiling the static batch for a board of 16384 hex cells, and the per-move cost of
// recolouring one cell and compiling again. Needs an X display (Mesa's software GL will do).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/display.h"
#include "render/matrix.h"
#include "render/polyhedron.h"
#include "render/rotation.h"

namespace {

constexpr int boardSide = 128;  // 128 by 128 = 16384 cells, the batch's entry capacity

Display& display() {
    static std::unique_ptr<Display> shared;
    if (!shared) {
        setenv("SDL_VIDEODRIVER", "x11", 0);
        shared = std::make_unique<Display>();
    }
    return *shared;
}

const Polyhedron& hexMesh() {
    static std::unique_ptr<Polyhedron> mesh;
    if (!mesh) {
        mesh = std::make_unique<Polyhedron>();
        mesh->loadFromFile(std::string(TINTFALL_DATA_DIR) + "/Meshes/Hex.smf");
    }
    return *mesh;
}

void fillBoard(StaticBatch& batch) {
    const float s = 16.0f / (15.0f * boardSide + 5.0f);
    for (int row = 0; row < boardSide; ++row) {
        for (int column = 0; column < boardSide; ++column) {
            const float k = column % 2 == 0 ? 0.5f : 1.0f;
            Matrix transform(Vector(0.1f + (3.0f * column + 2.0f) * s / 4.0f,
                                    0.05f + std::sqrt(3.0f) / 2.0f * (row + k) * s, 0.0f),
                             Matrix::translation);
            transform.multiply(Matrix(Vector(s / 2, s / 2, s / 2), Matrix::scale));
            transform.multiply(Matrix(Rotation(0, 0, 0xC000)));
            batch.addToBatch(hexMesh(), transform, 1 + (row * 7 + column) % 8, nullptr);
        }
    }
}

void BM_FillAndRebuildBoard(benchmark::State& state) {
    Display& screen = display();
    for (auto _ : state) {
        screen.emptyBatch();
        fillBoard(screen.batch);
        screen.rebuildBatch();
        glFinish();
    }
    state.counters["entries"] = screen.batch.entryCount();
}
BENCHMARK(BM_FillAndRebuildBoard)->Unit(benchmark::kMillisecond);

void BM_RecolourOneCellAndRebuild(benchmark::State& state) {
    Display& screen = display();
    screen.emptyBatch();
    fillBoard(screen.batch);
    screen.rebuildBatch();
    int next = 0;
    for (auto _ : state) {
        screen.batch.setEntryColour(next, 1 + next % 7);
        next = (next + 4099) % screen.batch.entryCount();
        screen.rebuildBatch();
        glFinish();
    }
}
BENCHMARK(BM_RecolourOneCellAndRebuild)->Unit(benchmark::kMillisecond);

void BM_DrawBoardFrame(benchmark::State& state) {
    Display& screen = display();
    screen.emptyBatch();
    fillBoard(screen.batch);
    screen.rebuildBatch();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCallList(screen.batch.displayList);
        glFinish();
    }
}
BENCHMARK(BM_DrawBoardFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
