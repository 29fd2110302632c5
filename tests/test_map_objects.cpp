// Map objects: the record format their property registry reads and writes, and the start cell's
// turn.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "game/player_start.h"
#include "render/matrix.h"
#include "resources/map.h"
#include "resources/package_writer.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;

namespace {

std::string u32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes;
}

std::string f32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

std::string text(const std::string& value) {
    return std::string{static_cast<char>(value.size() & 0xff),
                       static_cast<char>(value.size() >> 8)} +
           value;
}

std::string vector3(float x, float y, float z) {
    return f32(x) + f32(y) + f32(z);
}

// Colour, row, col; uniform scale; mesh and texture references; position, rotation (no
// bytes), scale.
std::string tileRecord(const std::string& meshReference, const std::string& textureReference) {
    return u32(5) + u32(2) + u32(3) + f32(0.5f) + text(meshReference) + text(textureReference) +
           vector3(1, 2, 3) + vector3(4, 5, 6);
}

// One field of every kind, in registration order.
class EveryKind : public MapObject {
  public:
    EveryKind() {
        registerInt(&number);
        registerFloat(&real);
        registerBool(&flag);
        registerDouble(&wide);
        registerString(&words);
        registerReference(ReferenceField{[this] { return target; },
                                         [this](StoredObject* found) { target = found; },
                                         [](const StoredObject&) { return true; }});
        registerStoredVariable(&place);
    }
    std::int32_t number = 0;
    float real = 0;
    bool flag = false;
    double wide = 0;
    std::string words;
    StoredObject* target = nullptr;
    Vector place;
};

}  // namespace

TEST(MapObjectRecords, TileRecordWithoutReferencesLoadsWithNoMeshOrTexture) {
    std::istringstream in(tileRecord("", ""));
    Tile tile;
    ASSERT_TRUE(tile.load(in, "map"));
    EXPECT_EQ(tile.colour, 5);
    EXPECT_EQ(tile.row, 2);
    EXPECT_EQ(tile.col, 3);
    EXPECT_FLOAT_EQ(tile.uniformScale, 0.5f);
    EXPECT_FLOAT_EQ(tile.position.z, 3.0f);
    EXPECT_FLOAT_EQ(tile.scale.x, 4.0f);
    EXPECT_EQ(tile.mesh, nullptr);
    EXPECT_EQ(tile.texture, nullptr);
    // The whole record was used: nothing was read for the rotation.
    EXPECT_EQ(in.peek(), std::char_traits<char>::eof());
    tile.resolveReferences();
    EXPECT_EQ(tile.mesh, nullptr);
}

TEST(MapObjectRecords, SavingWritesTheBlocksInRecordOrder) {
    std::istringstream in(tileRecord("", ""));
    PlayerStart cell;  // the same record as a tile: its own fields are not stored
    ASSERT_TRUE(cell.load(in, "map"));
    ASSERT_TRUE(cell.save());
    EXPECT_EQ(std::string(cell.data().begin(), cell.data().end()), tileRecord("", ""));
    EXPECT_EQ(cell.getTypeId(), 36);
    EXPECT_TRUE(cell.owned);
}

TEST(MapObjectRecords, LongTextsAndEveryKindRoundTrip) {
    EveryKind written;
    written.number = -7;
    written.real = 1.25f;
    written.flag = true;
    written.wide = 0.1;  // narrowed to single precision in the record
    written.words = std::string(2000, 'w');
    StoredObject referenced;
    referenced.setName(std::string(2000, 'r'));
    written.target = &referenced;
    written.place = Vector(1, 2, 3);
    ASSERT_TRUE(written.save());
    const std::string record(written.data().begin(), written.data().end());
    EXPECT_EQ(record.size(), 4u + 4 + 4 + 1 + 2 + 2000 + 2 + 2000 + 12);

    std::istringstream in(record);
    EveryKind read;
    ASSERT_TRUE(read.load(in, "map"));
    EXPECT_EQ(read.number, -7);
    EXPECT_FLOAT_EQ(read.real, 1.25f);
    EXPECT_TRUE(read.flag);
    EXPECT_DOUBLE_EQ(read.wide, static_cast<double>(0.1f));
    EXPECT_EQ(read.words, written.words);
    ASSERT_EQ(read.propertyRegistry->referenceTexts.size(), 1u);
    EXPECT_EQ(read.propertyRegistry->referenceTexts[0], referenced.name());
    EXPECT_FLOAT_EQ(read.place.y, 2.0f);
    read.releaseReferenceData();
    EXPECT_TRUE(read.propertyRegistry->referenceTexts.empty());
}

TEST(MapObjectRecords, AShortReadInAnyBlockFailsAndKeepsWhatWasRead) {
    EveryKind written;
    written.number = 11;
    written.real = 2.5f;
    written.flag = true;
    written.words = "abc";
    written.place = Vector(1, 2, 3);
    ASSERT_TRUE(written.save());
    const std::string record(written.data().begin(), written.data().end());
    // Cut inside each block in turn: int, float, bool, double, string, reference, vector.
    const std::size_t cuts[] = {2, 6, 8, 10, 14, 17, 20, 30};
    for (std::size_t cut : cuts) {
        std::istringstream in(record.substr(0, cut));
        EveryKind read;
        EXPECT_FALSE(read.load(in, "map")) << "cut at " << cut;
        if (cut >= 4) {
            EXPECT_EQ(read.number, 11) << "cut at " << cut;
        }
    }
    std::istringstream whole(record);
    EveryKind read;
    EXPECT_TRUE(read.load(whole, "map"));
}

TEST(MapObjectRecords, ATextLongerThanTheRestOfTheRecordIsRefused) {
    EveryKind read;
    std::istringstream in(u32(1) + f32(1) + f32(1) + std::string(1, '\1') + "\xff\xffshort");
    EXPECT_FALSE(read.load(in, "map"));
    EXPECT_EQ(read.words, "");
}

TEST(MapObjectRecords, OnlyTheMapTagIsRead) {
    std::istringstream in(tileRecord("", ""));
    Tile tile;
    EXPECT_FALSE(tile.load(in, "MAP"));
    EXPECT_FALSE(tile.load(in, "ma"));
    EXPECT_EQ(in.tellg(), 0);
    EXPECT_EQ(tile.colour, -1);
}

TEST(MapObjectRecords, TilesComeOutOfMapPackagesByTypeId) {
    ScratchDirectory scratch;
    std::string error;
    const std::string tile = u32(35) + tileRecord("", "");
    const std::string start = u32(36) + tileRecord("", "");
    ASSERT_TRUE(writePackage("board.map",
                             {PackageRecord{"cell", {tile.begin(), tile.end()}},
                              PackageRecord{"start", {start.begin(), start.end()}}},
                             error));
    Map screen;
    ASSERT_TRUE(screen.load("board.map", true));
    ASSERT_EQ(screen.objectCount(), 2);
    EXPECT_TRUE(screen.getObject("cell")->isTile());
    EXPECT_EQ(screen.getObject("cell")->getTypeId(), 35);
    EXPECT_EQ(static_cast<Tile*>(screen.getObject("start"))->col, 3);
    EXPECT_EQ(screen.getObject("start")->getTypeId(), 36);
}

TEST(StartCell, TurnsWhileItsPlayerIsToMoveAndSnapsBack) {
    // 270 degrees plus 33 ms at 0.045 degrees a millisecond, in whole units.
    EXPECT_EQ(turnedAngle(0xC000, 33), 49422);
    EXPECT_EQ(turnedAngle(65535, 33), 269);  // past a full turn it starts again
    EXPECT_EQ(turnedAngle(0, 0), 0);

    PlayerStart cell;
    cell.rotation = Rotation(1, 2, 3);
    cell.update(33);  // no board: never its turn
    EXPECT_EQ(cell.rotation.a, 0);
    EXPECT_EQ(cell.rotation.b, 0);
    EXPECT_EQ(cell.rotation.c, PlayerStart::restingAngle);
}
