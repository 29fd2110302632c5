// Package files: written by the package writer, read back by the game's package readers.
#include <gtest/gtest.h>

#include "render/polyhedron.h"
#include "resources/map.h"
#include "resources/package.h"
#include "resources/package_writer.h"
#include "resources/static_mesh_package.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

// Each record's first payload byte becomes an object; 'F' cannot be made into one.
struct EchoPackage : Package {
    int loads = 0;
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string&,
                                             std::uint32_t payloadOffset) override {
        ++loads;
        char first = 0;
        if (!in.seekg(payloadOffset).get(first) || first == 'F')
            return nullptr;
        auto object = std::make_unique<StoredObject>();
        object->appendData(&first, 1);
        return object;
    }
    // The objects' letters, "-" for each name that gives none.
    std::string find(const std::vector<std::string>& names) {
        std::string letters;
        for (const std::string& name : names)
            letters += getObject(name) != nullptr ? char(getObject(name)->data()[0]) : '-';
        return letters;
    }
};

static PackageRecord record(const std::string& name, const std::string& payload) {
    return {name, std::vector<std::uint8_t>(payload.begin(), payload.end())};
}

// Writes a package of records given as "name=payload".
static void write(const std::string& path, const std::vector<std::string>& records) {
    std::vector<PackageRecord> list;
    for (const std::string& r : records)
        list.push_back(record(r.substr(0, r.find('=')), r.substr(r.find('=') + 1)));
    std::string error;
    ASSERT_TRUE(writePackage(path, list, error)) << error;
}

TEST(PackageFormat, WriterSortsTheDirectoryAndTheReaderFindsExactNames) {
    write("things.txp", {"zeta=z", "Alpha=A", "alpha=a", "mid=m"});
    const std::string file = readFile("things.txp");
    EXPECT_TRUE(file.substr(0, 4) == std::string("txp\0", 4) &&
                file.find("Alpha") < file.find("alpha") && file.find("alpha") < file.find("mid") &&
                file.find("mid") < file.find("zeta"));
    EchoPackage package;
    ASSERT_TRUE(package.load("things.txp", true) && package.fileName() == "things.txp");
    EXPECT_EQ(package.find({"Alpha", "alpha", "ALPHA", "zeta"}), "Aa-z");
    EXPECT_EQ(std::make_pair(package.loads, package.objectCount()), std::make_pair(4, 4));
    // An empty package opens and finds nothing, silently.
    write("empty.smp", {});
    EchoPackage empty;
    EXPECT_TRUE(empty.load("empty.smp", false) && empty.find({"", "a"}) == "--");
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(PackageFormat, MagicIsTheExtensionAndBrokenFilesAreRefused) {
    write("good.txp", {"a=1", "b=2"});
    const std::string good = readFile("good.txp");
    // 65535 objects in "lying"; the second record's offset far past the end fails the whole
    // eager load.
    const std::pair<const char*, std::string> broken[] = {
        {"good.txq", good},
        {"noext", good},
        {"reserved.txp", good.substr(0, 4) + '\1' + good.substr(5)},
        {"short.txp", good.substr(0, 6)},
        {"cutdir.txp", good.substr(0, 12)},
        {"lying.txp", good.substr(0, 6) + "\xff\xff" + good.substr(8)},
        {"offset.txp", good.substr(0, 20) + '\xf0' + good.substr(21)},
        {"good.uxp", good}};
    for (const auto& [name, bytes] : broken) {
        writeFile(name, bytes);
        EchoPackage package;
        EXPECT_FALSE(package.load(name, true) || package.objectCount() != 0) << name;
    }
    EXPECT_FALSE(EchoPackage().load("missing.txp", true));
    const std::string log = readFile("debug.log");
    EXPECT_EQ(log.find("failure during loading of file good.txq\nfailure during loading of file "
                       "noext\nfailure during loading of file reserved.txp\n"),
              0u);
    EXPECT_NE(log.find("failure during loading of file lying.txp\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 32), "failed to open file missing.txp\n");
    // Without a '.', the name's first four letters are the magic.
    write("bord", {"a=x"});
    EXPECT_TRUE(readFile("bord").substr(0, 4) == "bord" && EchoPackage().load("bord", true));
}

TEST(PackageLookup, LazyPackageReadsOnlyWhatIsAskedForAndReportsWhatFails) {
    write("lazy.txp", {"b=1", "d=2", "f=F"});
    EchoPackage package;
    ASSERT_TRUE(package.load("lazy.txp", false));
    // The second "d" from memory; between two names, before the first and after the last
    // nothing is read; what cannot be made is tried, and reported, each time.
    EXPECT_EQ(package.find({"d", "d", "c", "a", "g", "f", "f"}), "22-----");
    EXPECT_EQ(std::make_pair(package.loads, package.objectCount()), std::make_pair(3, 1));
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load f in lazy.txp\nFailed to load f in lazy.txp\n");
    // After the directory is released, only objects already read are found.
    package.releaseDirectory();
    EXPECT_EQ(package.find({"d", "b"}) + std::to_string(package.hasDirectory()), "2-0");
    // Asked for by name, a released package reads its file again, its first object too.
    StoredObject* first = package.getReleasedObject("b");
    EXPECT_TRUE(first != nullptr && first->data()[0] == '1');
    // A lazy package whose file vanished reports the failed read.
    write("gone.txp", {"a=1"});
    EchoPackage gone;
    ASSERT_TRUE(gone.load("gone.txp", false) && std::remove("gone.txp") == 0);
    EXPECT_EQ(gone.find({"a"}), "-");
    EXPECT_EQ(readFile("debug.log").substr(58), "failed to read from file: gone.txp\n");
}

TEST(PackageLookup, AddingLoadsTheRestAndDropsWhatCannotBeLoaded) {
    write("add.txp", {"a=1", "b=F", "c=3"});
    EchoPackage package;
    ASSERT_TRUE(package.load("add.txp", false));
    for (const char* name : {"new", "", "newer"}) {  // an unnamed object is not added
        auto object = std::make_unique<StoredObject>();
        object->setName(name);
        object->appendData(name, 1);
        package.addObject(std::move(object));
    }
    package.addObject(nullptr);
    // Only the first addition loads the rest; what fails is dropped, with a warning.
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load b in add.txp\nSome files couldn't be loaded from package "
              "\"add.txp\", these files will not be saved.\nerror loading file\nerror loading "
              "file\n");
    ASSERT_TRUE(package.directory()->size() == 2 && (*package.directory())[1].name == "c");
    EXPECT_EQ(package.find({"a", "c", "new", "newer", "b"}), "13nn-");
    EXPECT_EQ(package.objectAt(2)->name() + package.objectAt(3)->name(), "newnewer");
}

TEST(StoredObjects, FileNamesAndTheDataBuffer) {
    StoredObject object;
    EXPECT_FALSE(object.loadFromFile("..\\Textures\\Missing.bmp") ||
                 object.name() != "Missing.bmp" ||
                 object.loadFromFile("dir\\"));  // empty name: no message
    EXPECT_EQ(readFile("debug.log"), "Failed to open file ..\\Textures\\Missing.bmp\n");
    // The data buffer takes only real bytes.
    EXPECT_FALSE(object.appendData(nullptr, 3) || object.appendData("abc", 0));
    EXPECT_TRUE(object.appendData("abc", 3) && object.appendData("de", 2) &&
                std::string(object.data().begin(), object.data().end()) == "abcde");
}

TEST(MapPackages, RecordsBecomeObjectsByTypeIdOrAreReported) {
    // Type ids 0 and 99 have no class; a record too short for its type id cannot be read.
    write("level.map", {std::string("nothing=\0\0\0\0", 12), std::string("unknown=\x63\0\0\0", 12),
                        std::string("zcut=\1\0", 7)});
    Map screen;
    EXPECT_TRUE(screen.load("level.map", true) && screen.objectCount() == 0);
    // Only a lower-case ".ini" is read as an ini file: this one is a package of the wrong magic.
    writeFile("Screen.INI", "[General]\nMapType = Menu\n");
    EXPECT_FALSE(Map().load("Screen.INI", true) || Map().load("", true));
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load nothing in level.map\nFailed to load unknown in level.map\n"
              "Failed to read object 'zcut' in package 'level.map'\nFailed to load zcut in "
              "level.map\nfailure during loading of file Screen.INI\n");
    // The base screen's ini loader reports itself, and the load still succeeds.
    writeFile("screen.ini", "[General]\nMapType = Menu\n");
    Map lower;
    EXPECT_TRUE(lower.load("Menus\\..\\screen.ini", true) && lower.fileName() == "screen.ini");
    EXPECT_NE(readFile("debug.log").find("Error: called Map::loadIniFile(), this is base class"),
              std::string::npos);
    // Objects of a screen are referred to through its file name.
    StoredObject button;
    button.setName("Button1");
    const std::string alone = button.referenceText();
    button.owner = &lower;
    EXPECT_EQ(alone + " " + button.referenceText(), "Button1 screen.ini>Button1");
}

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
