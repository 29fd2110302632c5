// Package files: written by the package writer, read back by the game's package reader.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "resources/map.h"
#include "resources/package.h"
#include "resources/package_writer.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

class Payload : public StoredObject {
  public:
    std::string text;
};

// Records whose payload starts with 'F' cannot be turned into objects.
class EchoPackage : public Package {
  public:
    int loads = 0;
    std::unique_ptr<StoredObject> loadObject(std::istream& in, const std::string&,
                                             std::uint32_t payloadOffset) override {
        ++loads;
        in.seekg(payloadOffset);
        char first = 0;
        in.get(first);
        if (!in || first == 'F') {
            return nullptr;
        }
        auto object = std::make_unique<Payload>();
        object->text = std::string(1, first);
        return object;
    }
};

PackageRecord record(const std::string& name, const std::string& payload) {
    return PackageRecord{name, std::vector<std::uint8_t>(payload.begin(), payload.end())};
}

void write(const std::string& path, std::vector<PackageRecord> records) {
    std::string error;
    ASSERT_TRUE(writePackage(path, std::move(records), error)) << error;
}

std::unique_ptr<StoredObject> named(const std::string& name) {
    auto object = std::make_unique<Payload>();
    object->setName(name);
    return object;
}

std::string text(StoredObject* object) {
    return object != nullptr ? static_cast<Payload*>(object)->text : std::string("<none>");
}

}  // namespace

TEST(PackageFormat, WriterSortsTheDirectoryAndTheReaderLoadsEverything) {
    ScratchDirectory scratch;
    write("things.txp",
          {record("zeta", "z"), record("Alpha", "A"), record("alpha", "a"), record("mid", "m")});
    const std::string bytes = readFile("things.txp");
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("txp\0", 4));
    EchoPackage package;
    ASSERT_TRUE(package.load("things.txp", true));
    EXPECT_EQ(package.fileName(), "things.txp");
    EXPECT_EQ(package.objectCount(), 4);
    ASSERT_TRUE(package.hasDirectory());
    std::vector<std::string> names;
    for (const DirectoryEntry& entry : *package.directory()) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "alpha", "mid", "zeta"}));
    // Names are exact: letter case makes different objects.
    EXPECT_EQ(text(package.getObject("Alpha")), "A");
    EXPECT_EQ(text(package.getObject("alpha")), "a");
    EXPECT_EQ(text(package.getObject("ALPHA")), "<none>");
    EXPECT_EQ(package.loads, 4);
}

TEST(PackageFormat, EmptyPackageOpensAndFindsNothing) {
    ScratchDirectory scratch;
    write("empty.smp", {});
    EchoPackage package;
    ASSERT_TRUE(package.load("empty.smp", false));
    EXPECT_EQ(package.getObject("anything"), nullptr);
    EXPECT_EQ(package.getObject(""), nullptr);
    EXPECT_FALSE(testing_support::fileExists("debug.log"));
}

TEST(PackageFormat, MagicIsTheExtensionOfTheFileName) {
    ScratchDirectory scratch;
    write("pics.txp", {record("a", "x")});
    // The same bytes under another extension are refused.
    writeFile("pics.txq", readFile("pics.txp"));
    writeFile("noext", readFile("pics.txp"));
    EchoPackage right;
    EXPECT_TRUE(right.load("pics.txp", true));
    EchoPackage wrongExtension;
    EXPECT_FALSE(wrongExtension.load("pics.txq", true));
    EchoPackage noExtension;
    EXPECT_FALSE(noExtension.load("noext", true));
    EXPECT_EQ(readFile("debug.log"),
              "failure during loading of file pics.txq\nfailure during loading of file noext\n");
    // Without a '.', the first four characters of the name are the magic; four-letter
    // extensions fill all four bytes.
    write("bord", {record("a", "x")});
    EXPECT_EQ(readFile("bord").substr(0, 4), "bord");
    EchoPackage named4;
    EXPECT_TRUE(named4.load("bord", true));
}

TEST(PackageFormat, BrokenHeadersAndDirectoriesAreRefused) {
    ScratchDirectory scratch;
    write("good.txp", {record("a", "1"), record("b", "2")});
    const std::string good = readFile("good.txp");
    std::string reserved = good;
    reserved[4] = 1;
    writeFile("reserved.txp", reserved);
    writeFile("short.txp", good.substr(0, 6));
    writeFile("cutdir.txp", good.substr(0, 12));
    std::string lying = good;
    lying[6] = static_cast<char>(0xff);  // claims 65535 objects
    lying[7] = static_cast<char>(0xff);
    writeFile("lying.txp", lying);
    for (const char* name : {"reserved.txp", "short.txp", "cutdir.txp", "lying.txp"}) {
        EchoPackage package;
        EXPECT_FALSE(package.load(name, true)) << name;
        EXPECT_EQ(package.objectCount(), 0) << name;
    }
    EchoPackage missing;
    EXPECT_FALSE(missing.load("missing.txp", true));
    EchoPackage none;
    EXPECT_FALSE(none.load("", true));
    const std::string log = readFile("debug.log");
    EXPECT_NE(log.find("failure during loading of file reserved.txp\n"), std::string::npos);
    EXPECT_NE(log.find("failure during loading of file lying.txp\n"), std::string::npos);
    EXPECT_NE(log.find("failed to open file missing.txp\n"), std::string::npos);
}

TEST(PackageFormat, RecordOffsetBeyondTheFileFailsTheWholeEagerLoad) {
    ScratchDirectory scratch;
    write("p.txp", {record("a", "1"), record("b", "2")});
    std::string bytes = readFile("p.txp");
    bytes[8 + 8 + 4] = static_cast<char>(0xf0);  // second record's offset far past the end
    writeFile("p.txp", bytes);
    EchoPackage package;
    EXPECT_FALSE(package.load("p.txp", true));
    EXPECT_EQ(package.objectCount(), 0);
}

TEST(PackageLookup, LazyPackageReadsOnlyWhatIsAskedFor) {
    ScratchDirectory scratch;
    write("lazy.txp", {record("b", "1"), record("d", "2"), record("f", "3")});
    EchoPackage package;
    ASSERT_TRUE(package.load("lazy.txp", false));
    EXPECT_EQ(package.loads, 0);
    EXPECT_EQ(text(package.getObject("d")), "2");
    EXPECT_EQ(package.loads, 1);
    EXPECT_EQ(text(package.getObject("d")), "2");  // served from memory
    EXPECT_EQ(package.loads, 1);
    // Between two names, before the first and after the last: nothing is loaded.
    EXPECT_EQ(package.getObject("c"), nullptr);
    EXPECT_EQ(package.getObject("a"), nullptr);
    EXPECT_EQ(package.getObject("g"), nullptr);
    EXPECT_EQ(package.loads, 1);
    EXPECT_EQ(package.objectCount(), 1);
}

TEST(PackageLookup, AnObjectThatCannotBeMadeIsTriedAndReportedEachTime) {
    ScratchDirectory scratch;
    write("bad.txp", {record("broken", "F"), record("ok", "k")});
    EchoPackage package;
    ASSERT_TRUE(package.load("bad.txp", false));
    EXPECT_EQ(package.getObject("broken"), nullptr);
    EXPECT_EQ(package.getObject("broken"), nullptr);
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load broken in bad.txp\nFailed to load broken in bad.txp\n");
}

TEST(PackageLookup, AddingLoadsTheRestAndDropsWhatCannotBeLoaded) {
    ScratchDirectory scratch;
    write("add.txp", {record("a", "1"), record("b", "F"), record("c", "3")});
    EchoPackage package;
    ASSERT_TRUE(package.load("add.txp", false));
    package.addObject(named("new"));
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load b in add.txp\nSome files couldn't be loaded from package "
              "\"add.txp\", these files will not be saved.\n");
    ASSERT_EQ(package.directory()->size(), 2u);
    EXPECT_EQ((*package.directory())[0].name, "a");
    EXPECT_EQ((*package.directory())[1].name, "c");
    EXPECT_EQ(package.objectCount(), 3);
    EXPECT_EQ(text(package.getObject("a")), "1");
    EXPECT_EQ(text(package.getObject("c")), "3");
    EXPECT_NE(package.getObject("new"), nullptr);
    EXPECT_EQ(package.objectAt(2)->name(), "new");
    // A second addition finds everything loaded: no further warning.
    package.addObject(named("newer"));
    EXPECT_EQ(package.objectCount(), 4);
    EXPECT_EQ(package.getObject("newer"), package.objectAt(3));
}

TEST(PackageLookup, UnnamedOrMissingObjectsAreNotAdded) {
    ScratchDirectory scratch;
    EchoPackage package;
    package.addObject(nullptr);
    package.addObject(std::make_unique<Payload>());
    EXPECT_EQ(package.objectCount(), 0);
    EXPECT_EQ(readFile("debug.log"), "error loading file\nerror loading file\n");
}

TEST(PackageLookup, AfterReleasingTheDirectoryOnlyRequestedObjectsAreFound) {
    ScratchDirectory scratch;
    write("rel.txp", {record("a", "1"), record("b", "2")});
    EchoPackage package;
    ASSERT_TRUE(package.load("rel.txp", false));
    ASSERT_NE(package.getObject("b"), nullptr);
    package.releaseDirectory();
    EXPECT_FALSE(package.hasDirectory());
    EXPECT_EQ(text(package.getObject("b")), "2");
    EXPECT_EQ(package.getObject("a"), nullptr);
    EXPECT_EQ(package.loads, 1);
}

TEST(PackageLookup, LazyPackageWhoseFileVanishedReportsTheFailedRead) {
    ScratchDirectory scratch;
    write("gone.txp", {record("a", "1")});
    EchoPackage package;
    ASSERT_TRUE(package.load("gone.txp", false));
    std::remove("gone.txp");
    EXPECT_EQ(package.getObject("a"), nullptr);
    EXPECT_EQ(readFile("debug.log"), "failed to read from file: gone.txp\n");
}

TEST(PackageWriter, RefusesWhatTheFormatCannotHold) {
    std::vector<std::uint8_t> image;
    std::string error;
    EXPECT_FALSE(buildPackage(packageMagicFor("x.txp"), {record("same", "1"), record("same", "2")},
                              image, error));
    EXPECT_NE(error.find("two objects"), std::string::npos);
    EXPECT_FALSE(buildPackage(packageMagicFor("x.txp"), {record(std::string(70000, 'n'), "1")},
                              image, error));
    std::vector<PackageRecord> tooMany(65536, record("", ""));
    for (std::size_t i = 0; i < tooMany.size(); ++i) {
        tooMany[i].name = std::to_string(i);
    }
    EXPECT_FALSE(buildPackage(packageMagicFor("x.txp"), tooMany, image, error));
    EXPECT_EQ(packageMagicFor("screen.menu"), (std::vector<std::uint8_t>{'m', 'e', 'n', 'u'}));
    EXPECT_EQ(packageMagicFor("board.map"), (std::vector<std::uint8_t>{'m', 'a', 'p', 0}));
}

TEST(StoredObjects, BaseOperationsReportThatASubclassWasExpected) {
    ScratchDirectory scratch;
    StoredObject object;
    std::istringstream in("data");
    EXPECT_FALSE(object.load(in, "map"));
    EXPECT_FALSE(object.save());
    EchoPackage package;
    EXPECT_EQ(package.Package::loadObject(in, "x", 0), nullptr);
    EXPECT_EQ(readFile("debug.log"),
              "Error: Atempting to load \"StoredObject\", must load inherited class\n"
              "Error: Atempting to save \"StoredObject\", must save inherited class\n"
              "attempting to load from base package, must use inherited class\n");
}

TEST(StoredObjects, LoadFromFileNamesTheObjectAfterTheFile) {
    ScratchDirectory scratch;
    StoredObject object;
    EXPECT_FALSE(object.loadFromFile("..\\Textures\\Missing.bmp"));
    EXPECT_EQ(object.name(), "Missing.bmp");
    EXPECT_FALSE(object.loadFromFile("dir\\"));  // empty name: no message
    EXPECT_EQ(readFile("debug.log"), "Failed to open file ..\\Textures\\Missing.bmp\n");
}

TEST(StoredObjects, DataBufferAndReferenceText) {
    Payload object;
    object.setName("Hex.bmp");
    EXPECT_EQ(object.referenceText(), "Hex.bmp");
    EXPECT_FALSE(object.appendData(nullptr, 3));
    EXPECT_FALSE(object.appendData("abc", 0));
    EXPECT_TRUE(object.appendData("abc", 3));
    EXPECT_TRUE(object.appendData("de", 2));
    EXPECT_EQ(std::string(object.data().begin(), object.data().end()), "abcde");
    Map screen;
    ScratchDirectory scratch;
    writeFile("hud.ini", "[General]\n");
    testing_support::writeFile("debug.log", "");
    screen.load("Menus\\..\\hud.ini", true);
    object.owner = &screen;
    object.setName("Button1");
    EXPECT_EQ(object.referenceText(), "hud.ini>Button1");
}

TEST(MapPackages, RecordsBecomeObjectsByTypeIdOrAreReported) {
    ScratchDirectory scratch;
    const std::string noClass("\x63\x00\x00\x00", 4);  // type id 99
    const std::string none("\x00\x00\x00\x00", 4);     // type id 0
    write("level.map", {record("zcut", std::string("\x01\x00", 2)), record("nothing", none),
                        record("unknown", noClass)});
    Map screen;
    EXPECT_TRUE(screen.load("level.map", true));
    EXPECT_EQ(screen.objectCount(), 0);
    EXPECT_EQ(readFile("debug.log"),
              "Failed to load nothing in level.map\nFailed to load unknown in level.map\n"
              "Failed to read object 'zcut' in package 'level.map'\nFailed to load zcut in "
              "level.map\n");
}

TEST(MapPackages, IniExtensionIsRecognisedOnlyInLowerCase) {
    ScratchDirectory scratch;
    writeFile("Screen.INI", "[General]\nMapType = Menu\n");
    writeFile("screen.ini", "[General]\nMapType = Menu\n");
    Map upper;
    EXPECT_FALSE(upper.load("Screen.INI", true));  // read as a binary package: wrong magic
    Map empty;
    EXPECT_FALSE(empty.load("", true));
    EXPECT_EQ(readFile("debug.log"), "failure during loading of file Screen.INI\n");
    // The base screen's ini loader reports itself, and the load still succeeds.
    Map lower;
    EXPECT_TRUE(lower.load("Menus\\..\\screen.ini", true));
    EXPECT_EQ(lower.fileName(), "screen.ini");
    EXPECT_NE(readFile("debug.log").find("Error: called Map::loadIniFile(), this is base class"),
              std::string::npos);
}
