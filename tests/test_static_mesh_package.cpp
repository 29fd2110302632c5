#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "engine/resource_manager.h"
#include "render/polyhedron.h"
#include "resources/map.h"
#include "resources/static_mesh_package.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A unified fan of `triangles` triangles around the origin: triangles + 2 vertices.
std::string fanMesh(unsigned triangles) {
    MeshImage image;
    for (unsigned i = 0; i < triangles + 2; ++i) {
        image.positions.push_back({float(i), float(i * i), 0});
        image.normals.push_back({0, 0, 1});
        image.texCoords.push_back({float(i), 0});
        if (i < triangles) {
            image.faces.push_back({0, i + 1, i + 2});
        }
    }
    return image.bytes();
}

int vertexCountOf(StoredObject* object) {
    if (object == nullptr || object->getTypeId() != 2) {
        return -1;
    }
    return static_cast<Polyhedron*>(object)->vertexCount();
}

}  // namespace

TEST(MeshPackage, RecordsThatAreNoMeshesAreReportedAndSkipped) {
    const std::string cut = fanMesh(3).substr(0, fanMesh(3).size() - 4);
    writeFile("set.smp", packageBytes("smp", {{"alpha", fanMesh(1)},
                                              {"bitmap", "BM" + fanMesh(1)},
                                              {"zcut", cut},
                                              {"delta", fanMesh(4)},
                                              {"bshort", "sm"}}));
    StaticMeshPackage package;
    ASSERT_TRUE(package.load("set.smp", true));
    // A cut mesh is still a mesh: it is kept with what could be read, and draws nothing.
    EXPECT_EQ(package.objectCount(), 3);
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load bitmap in set.smp\nFailed to load bshort in set.smp\n"
              "Unable to read zcut in set.smp\n");
    ASSERT_NE(package.getObject("zcut"), nullptr);
    EXPECT_EQ(vertexCountOf(package.getObject("alpha")), 3);
    EXPECT_EQ(vertexCountOf(package.getObject("delta")), 6);
    EXPECT_EQ(package.getObject("delta")->name(), "delta");
    // Lazily, only the mesh asked for is read.
    writeFile("debug.log", "");
    StaticMeshPackage lazy;
    ASSERT_TRUE(lazy.load("set.smp", false));
    EXPECT_EQ(vertexCountOf(lazy.getObject("delta")), 6);
    EXPECT_EQ(lazy.getObject("Delta"), nullptr);
    EXPECT_EQ(lazy.objectCount(), 1);
    EXPECT_EQ(readFile("debug.log"), "");
}

TEST(MeshPackage, SameMeshNameInTwoPackagesStaysApart) {
    makeDirectory("game");
    makeDirectory("Meshes");
    writeFile("Meshes/One.smp", packageBytes("smp", {{"Hex", fanMesh(1)}}));
    writeFile("Meshes/Two.smp", packageBytes("smp", {{"Hex", fanMesh(6)}}));
    ASSERT_EQ(chdir("game"), 0);
    {
        ResourceManager manager;
        StoredObject* one = getResource("One.smp>Hex");
        EXPECT_EQ(vertexCountOf(one), 3);
        EXPECT_EQ(vertexCountOf(getResource("Two.smp>Hex")), 8);
        // Packages are found again by file name ignoring case.
        EXPECT_EQ(getResource("ONE.smp>Hex"), one);
        EXPECT_EQ(getResource("One.smp>Missing"), nullptr);
        EXPECT_EQ(manager.meshPackages().size(), 2u);
    }
    ASSERT_EQ(chdir(".."), 0);
}

TEST(MeshPackage, MapRecordsOfTypeTwoAreMeshes) {
    writeFile("board.map",
              packageBytes("map", {{"tile", ByteWriter().u32(2).text(fanMesh(2)).bytes()},
                                   {"what", ByteWriter().u32(4).text(fanMesh(2)).bytes()}}));
    Map map;
    ASSERT_TRUE(map.load("board.map", true));
    ASSERT_EQ(map.objectCount(), 1);
    EXPECT_EQ(map.objectAt(0)->name(), "tile");
    EXPECT_EQ(vertexCountOf(map.objectAt(0)), 4);
    EXPECT_EQ(readFile("debug.log"), "Failed to load what in board.map\n");
}
