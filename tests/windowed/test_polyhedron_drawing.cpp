// Meshes compiled into display lists and drawn on a real window.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/display.h"
#include "engine/resource_manager.h"
#include "render/matrix.h"
#include "render/polyhedron.h"
#include "render/rotation.h"
#include "resources/texture.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using testing_support::makeDirectory;
using testing_support::MeshImage;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

struct Rgb {
    int r, g, b;
};

// The colour at a point given in screen units (x across, y down, one unit = window width).
Rgb pixelAt(const Display& display, double x, double y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    const int column = static_cast<int>(x * display.width);
    const int row = display.height - 1 - static_cast<int>(y * display.width);
    glReadPixels(column, row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Rgb{rgba[0], rgba[1], rgba[2]};
}

// Two triangles covering the square from (0.25, 0.25) to (0.5, 0.5) in screen units.
Polyhedron* squareMesh(Polyhedron& mesh) {
    mesh.setMesh({Vector(0.25f, 0.25f, 0), Vector(0.5f, 0.25f, 0), Vector(0.5f, 0.5f, 0),
                  Vector(0.25f, 0.5f, 0)},
                 {}, std::vector<TexCoord>(4), {Face{{0, 1, 2}, {}, {}}, Face{{0, 2, 3}, {}, {}}});
    return &mesh;
}

bool loadMesh(Polyhedron& mesh, const std::string& bytes) {
    std::istringstream in(bytes);
    return mesh.load(in, "smf");
}

MeshImage square() {
    MeshImage image;
    image.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    image.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    image.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    image.faces = {{0, 1, 2}, {0, 2, 3}};
    return image;
}

void prepareFrame() {
    glDisable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace

TEST(MeshDrawing, UntexturedMeshDrawsItsTrianglesInTheCurrentColour) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    Polyhedron mesh;
    ASSERT_EQ(mesh.texture(), nullptr);
    squareMesh(mesh);

    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    prepareFrame();
    mesh.draw();
    ASSERT_TRUE(mesh.listBuilt());
    EXPECT_EQ(glIsList(mesh.list()), GL_TRUE);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);  // the list binds "no texture"
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const Rgb inside = pixelAt(display, 0.3, 0.45);
    const Rgb outside = pixelAt(display, 0.6, 0.3);
    EXPECT_EQ(inside.r, 255);
    EXPECT_EQ(inside.g, 0);
    EXPECT_EQ(outside.r, 0);

    // Drawing again calls the same list.
    const GLuint list = mesh.list();
    mesh.draw();
    EXPECT_EQ(mesh.list(), list);
    glDeleteTextures(1, &other);
}

TEST(MeshDrawing, ListsCompileWithoutTheCompiledVertexArrayExtension) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    const LockArraysFunction lock = glLockArraysEXT;
    const UnlockArraysFunction unlock = glUnlockArraysEXT;
    glLockArraysEXT = nullptr;
    glUnlockArraysEXT = nullptr;
    Polyhedron mesh;
    squareMesh(mesh);
    prepareFrame();
    mesh.draw();
    glLockArraysEXT = lock;
    glUnlockArraysEXT = unlock;
    EXPECT_EQ(pixelAt(display, 0.45, 0.3).r, 255);
}

TEST(MeshDrawing, BuildingGivesNormalsAndUnifiedIndices) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    // A pyramid without normals whose apex (4) is shared by four faces.
    Polyhedron mesh;
    mesh.setMesh(
        {Vector(-1, -1, 0), Vector(1, -1, 0), Vector(1, 1, 0), Vector(-1, 1, 0), Vector(0, 0, 1)},
        {}, std::vector<TexCoord>(5),
        {Face{{0, 1, 4}, {}, {}}, Face{{1, 2, 4}, {}, {}}, Face{{2, 3, 4}, {}, {}},
         Face{{3, 0, 4}, {}, {}}});
    mesh.buildLists();
    ASSERT_EQ(mesh.normalCount(), 5);
    EXPECT_NEAR(mesh.normal(4).x, 0.0f, 1e-6f);
    EXPECT_NEAR(mesh.normal(4).y, 0.0f, 1e-6f);
    EXPECT_NEAR(mesh.normal(4).z, 1.0f, 1e-6f);
    // A base corner averages the two side faces that touch it.
    const float r = 1.0f / std::sqrt(6.0f);
    EXPECT_NEAR(mesh.normal(0).x, -r, 1e-6f);
    EXPECT_NEAR(mesh.normal(0).y, -r, 1e-6f);
    EXPECT_NEAR(mesh.normal(0).z, 2 * r, 1e-6f);
    for (int f = 0; f < mesh.faceCount(); ++f) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(mesh.faceNormal(f, k), mesh.faceVertex(f, k));
            EXPECT_EQ(mesh.faceTexCoord(f, k), mesh.faceVertex(f, k));
        }
    }
    EXPECT_EQ(readFile("debug.log"), "");
}

TEST(MeshDrawing, FaceIndicesBeyondTheArraysNeverReachGL) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    MeshImage image;
    image.positions = {{0.25f, 0.25f, 0}, {0.5f, 0.25f, 0}, {0.5f, 0.5f, 0}};
    image.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    image.texCoords = {{0, 0}, {1, 0}, {1, 1}};
    image.faces = {{0, 1, 2}, {0, 40000, 65535}};
    Polyhedron mesh;
    std::istringstream in(image.bytes());
    ASSERT_TRUE(mesh.load(in, "smf"));
    prepareFrame();
    mesh.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::string log = readFile("debug.log");
    EXPECT_NE(log.find("invalid Vertex index 40000\n"), std::string::npos);
    EXPECT_NE(log.find("invalid UV index 65535\n"), std::string::npos);
    EXPECT_EQ(mesh.vertexCount(), 5);
    EXPECT_EQ(pixelAt(display, 0.45, 0.3).r, 255);
}

TEST(MeshDrawing, RefreshingRebuildsEveryCachedMeshAndNoListOutlivesItsMesh) {
    ScratchDirectory scratch;
    makeDirectory("game");
    makeDirectory("Meshes");
    MeshImage image;
    image.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    image.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    image.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    image.faces = {{0, 1, 2}};
    writeFile("Meshes/Hex.smf", image.bytes());
    ASSERT_EQ(chdir("game"), 0);
    {
        auto display = std::make_unique<Display>();
        ASSERT_TRUE(display->windowOpen);
        ResourceManager manager;
        Polyhedron* mesh = manager.getMesh("hex.smf");
        ASSERT_NE(mesh, nullptr);
        EXPECT_FALSE(mesh->listBuilt());
        manager.refreshMeshes();
        EXPECT_TRUE(mesh->listBuilt());
        EXPECT_EQ(glIsList(mesh->list()), GL_TRUE);
        // Rebuilt in the same context, the old list goes.
        const GLuint first = mesh->list();
        manager.refreshMeshes();
        EXPECT_FALSE(glIsList(first) && first != mesh->list());
        const GLuint stale = mesh->list();

        // In a new context, lists of its own take the old numbers: rebuilding and deleting the
        // mesh must leave them alone.
        display.reset();
        display = std::make_unique<Display>();
        const GLuint others = glGenLists(4);
        for (GLuint list = others; list < others + 4; ++list) {
            glNewList(list, GL_COMPILE);
            glEndList();
        }
        ASSERT_TRUE(stale >= others && stale < others + 4);
        manager.refreshMeshes();
        EXPECT_EQ(glIsList(mesh->list()), GL_TRUE);
        EXPECT_TRUE(mesh->list() < others || mesh->list() >= others + 4);
        const GLuint last = mesh->list();
        manager.unloadAll();
        EXPECT_EQ(manager.meshes().size(), 0u);
        EXPECT_EQ(glIsList(last), GL_FALSE);
        for (GLuint list = others; list < others + 4; ++list) {
            EXPECT_EQ(glIsList(list), GL_TRUE) << list;
        }
    }
    ASSERT_EQ(chdir(".."), 0);
}

TEST(MeshTexture, ReferencesResolveThroughTheResourceManager) {
    ScratchDirectory scratch;
    makeDirectory("game");
    makeDirectory("Textures");
    makeDirectory("Meshes");
    ASSERT_EQ(std::system("convert -size 8x8 xc:red BMP3:Textures/Hex.bmp"), 0);
    ASSERT_EQ(chdir("game"), 0);
    {
        // Textures go to GL as they are loaded.
        Display display;
        ASSERT_TRUE(display.windowOpen);
        ResourceManager manager;
        Texture* fallback = getTexture("Hex.bmp");
        MeshImage image = square();
        image.hasTextureFlag = true;
        Polyhedron emptyReference;
        ASSERT_TRUE(loadMesh(emptyReference, image.bytes()));
        EXPECT_EQ(emptyReference.texture(), fallback);
        if (fallback != nullptr) {
            EXPECT_EQ(fallback->name(), "Hex.bmp");
        }

        // A texture reference naming a mesh is no texture; one naming the mesh itself must not
        // load meshes without end.
        image.textureReference = "Loop.smf";
        writeFile("../Meshes/Loop.smf", image.bytes());
        Polyhedron* loop = manager.getMesh("Loop.smf");
        ASSERT_NE(loop, nullptr);
        EXPECT_EQ(loop->texture(), nullptr);
        EXPECT_EQ(loop->vertexCount(), 4);
        const std::string log = readFile("debug.log");
        EXPECT_NE(log.find("Texture reference 'Loop.smf' of a mesh"), std::string::npos) << log;
    }
    ASSERT_EQ(chdir(".."), 0);
}

TEST(RotationInGL, GLRotationMatchesTheRotationMatrix) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    const Rotation rotations[] = {
        Rotation(0, 0, 0),     Rotation(16384, 0, 0),      Rotation(0, 16384, 0),
        Rotation(0, 0, 16384), Rotation(1000, 2000, 3000), Rotation(40000, 12345, 65535),
    };
    glMatrixMode(GL_MODELVIEW);
    for (const Rotation& rotation : rotations) {
        glLoadIdentity();
        rotation.applyToGL();
        GLfloat gl[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        const Matrix expected(rotation);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                EXPECT_NEAR(gl[column * 4 + row], expected(row, column), 1e-4f)
                    << rotation.a << " " << rotation.b << " " << rotation.c;
            }
        }
    }
    glLoadIdentity();
}
