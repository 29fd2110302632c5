#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/resource_manager.h"
#include "render/polyhedron.h"
#include "resources/package_writer.h"
#include "resources/static_mesh_package.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

// A unified fan of `triangles` triangles around the origin: triangles + 2 vertices.
static Bytes fan(unsigned triangles) {
    MeshImage image;
    for (unsigned i = 0; i < triangles + 2; ++i) {
        image.positions.push_back({float(i), float(i * i), 0});
        image.normals.push_back({0, 0, 1});
        image.texCoords.push_back({float(i), 0});
    }
    for (unsigned i = 0; i < triangles; ++i)
        image.faces.push_back({0, i + 1, i + 2});
    return toBytes(image.bytes());
}

static int vertices(StoredObject* mesh) {
    return mesh != nullptr && mesh->getTypeId() == 2 ? static_cast<Polyhedron*>(mesh)->vertexCount()
                                                     : -1;
}

TEST(MeshPackage, RecordsThatAreNoMeshesAreReportedAndSkipped) {
    std::string error;
    Bytes bitmap = fan(1), cut = fan(3);
    bitmap[0] = 'B', bitmap[1] = 'M', cut.resize(cut.size() - 4);
    ASSERT_TRUE(writePackage("set.smp",
                             {{"alpha", fan(1)},
                              {"bitmap", bitmap},
                              {"zcut", cut},
                              {"delta", fan(4)},
                              {"bshort", toBytes("sm")}},
                             error));
    StaticMeshPackage package;
    // A cut mesh is still a mesh: it is kept with what could be read, and draws nothing.
    ASSERT_TRUE(package.load("set.smp", true) && package.objectCount() == 3);
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load bitmap in set.smp\nFailed to load bshort in set.smp\n"
              "Unable to read zcut in set.smp\n");
    ASSERT_NE(package.getObject("zcut"), nullptr);
    EXPECT_EQ(
        std::make_pair(vertices(package.getObject("alpha")), vertices(package.getObject("delta"))),
        std::make_pair(3, 6));
    // Lazily, only the mesh asked for is read.
    writeFile("debug.log", "");
    StaticMeshPackage lazy;
    ASSERT_TRUE(lazy.load("set.smp", false));
    EXPECT_EQ(vertices(lazy.getObject("delta")), 6);
    EXPECT_EQ(lazy.getObject("delta")->name(), "delta");
    EXPECT_TRUE(lazy.getObject("Delta") == nullptr && lazy.objectCount() == 1);
    EXPECT_EQ(readFile("debug.log"), "");
}

TEST(MeshPackage, SameMeshNameInTwoPackagesStaysApart) {
    makeDirectory("game");
    makeDirectory("Meshes");
    std::string error;
    ASSERT_TRUE(writePackage("Meshes/One.smp", {{"Hex", fan(1)}}, error));
    ASSERT_TRUE(writePackage("Meshes/Two.smp", {{"Hex", fan(6)}}, error));
    ASSERT_EQ(chdir("game"), 0);
    {
        ResourceManager manager;
        StoredObject* one = getResource("One.smp>Hex");
        EXPECT_EQ(std::make_pair(vertices(one), vertices(getResource("Two.smp>Hex"))),
                  std::make_pair(3, 8));
        // Packages are found again by file name ignoring case.
        EXPECT_TRUE(getResource("ONE.smp>Hex") == one && getResource("One.smp>Missing") == nullptr);
        EXPECT_EQ(manager.meshPackages().size(), 2u);
    }
    ASSERT_EQ(chdir(".."), 0);
}
