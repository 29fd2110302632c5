// Meshes compiled into display lists and drawn on a real window (the board's tiles in the static
// batch are shown by the end-to-end sessions), and sparks drawn with the display's own state.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "engine/resource_manager.h"
#include "game/emitter.h"
#include "platform/random.h"
#include "render/matrix.h"
#include "render/polyhedron.h"
#include "support/gl_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

const Vector centre(0.5f, 0.375f, 0.0f);  // the middle of a 1024 x 768 window, in screen units

// The lit pixels, and those only red, within `reach` of the window's middle.
static std::pair<int, int> litAndRed(const Display& display, double reach) {
    int lit = 0, reds = 0;
    for (const Rgb& p : pixelsIn(display, centre.x - reach, centre.y - reach, centre.x + reach,
                                 centre.y + reach)) {
        lit += p != Rgb{0, 0, 0} ? 1 : 0;
        reds += p[0] > 0 && p[1] == 0 && p[2] == 0 ? 1 : 0;
    }
    return {lit, reds};
}

TEST(MeshDrawing, TrianglesDrawInTheCurrentColourFromAListOfTheirOwn) {
    Display display;
    const LockArraysFunction lock = glLockArraysEXT;
    for (bool compiledArrays : {true, false}) {
        glLockArraysEXT = compiledArrays ? lock : nullptr;
        // The square from (0.25, 0.25) to (0.5, 0.5) in screen units, without normals, and a
        // face whose indices lie beyond the arrays.
        Polyhedron mesh;
        mesh.setMesh({Vector(0.25f, 0.25f, 0), Vector(0.5f, 0.25f, 0), Vector(0.5f, 0.5f, 0),
                      Vector(0.25f, 0.5f, 0)},
                     {}, std::vector<TexCoord>(4),
                     {Face{{0, 1, 2}, {}, {0, 1, 2}}, Face{{0, 2, 3}, {}, {0, 2, 3}},
                      Face{{0, 40000, 65535}, {}, {0, 40000, 65535}}});
        glBindTexture(GL_TEXTURE_2D, 7);
        glDisable(GL_CULL_FACE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        mesh.draw();
        GLint bound = -1;  // the list binds "no texture"
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_TRUE(glGetError() == GL_NO_ERROR && glIsList(mesh.list()) && bound == 0);
        EXPECT_EQ(std::make_tuple(pixelAt(display, 0.3, 0.45), pixelAt(display, 0.45, 0.3),
                                  pixelAt(display, 0.6, 0.3)),
                  std::make_tuple(Rgb{255, 0, 0}, Rgb{255, 0, 0}, Rgb{178, 178, 178}));
        // Building gave normals and unified the corners, the bad ones as zero elements; drawing
        // again calls the same list.
        const GLuint list = mesh.list();
        mesh.draw();
        EXPECT_TRUE(mesh.vertexCount() == 6 && mesh.normalCount() == 6 && mesh.list() == list);
        EXPECT_NE(readFile("debug.log").find("invalid UV index 65535\n"), std::string::npos);
    }
    glLockArraysEXT = lock;
}

TEST(EmitterDrawing, ABurstShowsSparksOfItsColourAroundTheEmitterUntilTheyExpire) {
    Display display;
    glBindTexture(GL_TEXTURE_2D, 7);
    // A tile's emitter for a tile of scale u = 0.1 at the middle of the window.
    Emitter emitter;
    emitter.setDefaultTimeRanges(), emitter.allocateParticles(), emitter.setSize(0.05f);
    emitter.setBirthDistanceRange(0.05f), emitter.setSpeedRange(0.2f, 0.05f);
    emitter.setPosition(centre), emitter.setColour(1);
    platform::seedRandom(7);
    emitter.burst();
    // Born within u/2 of the emitter, each corner a further u/2 away: all in the emitter's
    // colour, all near, drawn untextured. Half a second on they have spread (up to 0.2 a second),
    // still in its colour; at 1320 ms all are spent.
    const std::tuple<int, double, int> stages[] = {
        {0, 0.103, 100}, {15, 0.202, 0}, {25, 0.375, -1}};
    for (const auto& [frames, reach, fewest] : stages) {
        for (int frame = 0; frame < frames; ++frame)
            emitter.update(33);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        emitter.draw();
        const auto [lit, reds] = litAndRed(display, 0.375);
        EXPECT_TRUE(fewest < 0 ? lit == 0 : lit > fewest) << frames << ": " << lit;
        EXPECT_TRUE(reds == lit && litAndRed(display, reach).first == lit) << frames;
    }
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(bound == 0 && glGetError() == GL_NO_ERROR);
}

// After a display restart every cached mesh is compiled again, into a list of the new context.
TEST(MeshDrawing, RefreshingCompilesEveryCachedMeshInTheNewContext) {
    std::filesystem::copy(TINTFALL_DATA_DIR "/Meshes", "Meshes");
    makeDirectory("game");
    ASSERT_EQ(chdir("game"), 0);
    auto display = std::make_unique<Display>();
    ResourceManager manager;
    Polyhedron* mesh = manager.getMesh("hex.smf");
    ASSERT_NE(mesh, nullptr);
    display.reset();
    display = std::make_unique<Display>();
    manager.refreshMeshes();
    EXPECT_TRUE(mesh->listBuilt() && glIsList(mesh->list()));
}
