// Map objects: the record format their property registry reads and writes, tiles out of map
// packages, and the start cell's turn.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game/player_start.h"
#include "resources/map.h"
#include "resources/package_writer.h"
#include "support/mesh_bytes.h"

namespace {

// Colour 5, row 2, col 3; uniform scale; no mesh nor texture; position, rotation (no bytes),
// scale.
std::string tileRecord() {
    testing_support::ByteWriter out;
    out.u32(5).u32(2).u32(3).f32(0.5f).u16(0).u16(0);
    for (float value : {1, 2, 3, 4, 5, 6})
        out.f32(value);
    return out.bytes();
}

// One field of every kind, in registration order.
struct EveryKind : MapObject {
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

std::string saved(MapObject& object) {
    EXPECT_TRUE(object.save());
    return std::string(object.data().begin(), object.data().end());
}

}  // namespace

TEST(MapObjectRecords, ATileRecordLoadsAndSavesByteForByte) {
    std::istringstream in(tileRecord());
    PlayerStart cell;                    // the same record as a tile: its own fields are not stored
    EXPECT_FALSE(cell.load(in, "MAP"));  // only the map tag is read
    EXPECT_EQ(in.tellg(), 0);
    ASSERT_TRUE(cell.load(in, "map"));
    EXPECT_EQ((std::vector<int>{cell.colour, cell.row, cell.col}), (std::vector<int>{5, 2, 3}));
    EXPECT_EQ((std::vector<float>{cell.uniformScale, cell.position.z, cell.scale.x}),
              (std::vector<float>{0.5f, 3, 4}));
    EXPECT_EQ(in.peek(), std::char_traits<char>::eof());  // nothing was read for the rotation
    cell.resolveReferences();
    EXPECT_TRUE(cell.mesh == nullptr && cell.texture == nullptr);
    EXPECT_EQ(saved(cell), tileRecord());
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
    const std::string record = saved(written);
    EXPECT_EQ(record.size(), 4u + 4 + 4 + 1 + 2 + 2000 + 2 + 2000 + 12);

    // Read back, every field is as written: saved again, it gives the same record.
    std::istringstream in(record);
    EveryKind read;
    ASSERT_TRUE(read.load(in, "map"));
    EXPECT_DOUBLE_EQ(read.wide, static_cast<double>(0.1f));
    ASSERT_EQ(read.propertyRegistry->referenceTexts, std::vector<std::string>{referenced.name()});
    read.releaseReferenceData();
    EXPECT_TRUE(read.propertyRegistry->referenceTexts.empty());
    read.target = &referenced;
    EXPECT_EQ(saved(read), record);

    // A text longer than the rest of the record is refused.
    std::istringstream cut(record.substr(0, 4 + 4 + 1 + 4) + "\xff\xffshort");
    EveryKind refused;
    EXPECT_FALSE(refused.load(cut, "map"));
    EXPECT_EQ(refused.words, "");
}

TEST(MapObjectRecords, TilesComeOutOfMapPackagesByTypeId) {
    std::string error;
    const std::string tile = testing_support::ByteWriter().u32(35).bytes() + tileRecord();
    const std::string start = testing_support::ByteWriter().u32(36).bytes() + tileRecord();
    ASSERT_TRUE(writePackage("board.map",
                             {PackageRecord{"cell", {tile.begin(), tile.end()}},
                              PackageRecord{"start", {start.begin(), start.end()}}},
                             error));
    Map screen;
    ASSERT_TRUE(screen.load("board.map", true));
    ASSERT_EQ(screen.objectCount(), 2);
    EXPECT_TRUE(screen.getObject("cell")->isTile());
    EXPECT_EQ(screen.getObject("start")->getTypeId(), 36);
    EXPECT_EQ(static_cast<Tile*>(screen.getObject("start"))->col, 3);
}

TEST(StartCell, TurnsWhileItsPlayerIsToMoveAndSnapsBack) {
    // 270 degrees plus 33 ms at 0.045 degrees a millisecond, in whole units.
    EXPECT_EQ(turnedAngle(0xC000, 33), 49422);
    EXPECT_EQ(turnedAngle(65535, 33), 269);  // past a full turn it starts again
    PlayerStart cell;
    cell.rotation = Rotation(1, 2, 3);
    cell.update(33);  // no board: never its turn
    EXPECT_EQ((std::vector<int>{cell.rotation.a, cell.rotation.b, cell.rotation.c}),
              (std::vector<int>{0, 0, PlayerStart::restingAngle}));
}
