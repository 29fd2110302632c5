#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "render/matrix.h"
#include "render/rotation.h"
#include "render/vector.h"

namespace {

void expectVector(const Vector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

bool isIdentity(const Matrix& m) {
    const Matrix identity;
    return std::memcmp(m.m, identity.m, sizeof m.m) == 0;
}

}  // namespace

TEST(RotationAngles, DegreesAreTruncatedToSixteenBitUnits) {
    struct Case {
        float degrees;
        std::uint16_t units;
    };
    const Case cases[] = {
        {90.0f, 16384},  {359.99f, 65534}, {0.0f, 0},       {0.004f, 0},
        {180.0f, 32768}, {-90.0f, 49152},  {810.0f, 16384},
    };
    for (const Case& c : cases) {
        Rotation rotation(1, 2, 3);
        rotation.setDegrees(c.degrees);
        EXPECT_EQ(rotation.c, c.units) << c.degrees;
        // Only c changes.
        EXPECT_EQ(rotation.a, 1);
        EXPECT_EQ(rotation.b, 2);
    }
    // Angles far beyond a turn wrap like the whole truncated value would.
    Rotation far;
    far.setDegrees(1e9f);
    const float units = 1e9f * Rotation::unitsPerDegree;
    EXPECT_EQ(far.c, static_cast<std::uint16_t>(static_cast<long long>(units) & 0xFFFF));
    Rotation broken(1, 2, 3);
    broken.setDegrees(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(broken.c, 0);
    broken.reset(77);
    EXPECT_EQ(broken.a, 0);
    EXPECT_EQ(broken.b, 0);
    EXPECT_EQ(broken.c, 77);
}

TEST(RotationMatrix, QuarterTurnsMoveTheAxes) {
    // a turns about z.
    expectVector(Matrix(Rotation(16384, 0, 0)).transformPoint(Vector(1, 0, 0)), 0, 1, 0);
    // b turns about y.
    expectVector(Matrix(Rotation(0, 16384, 0)).transformPoint(Vector(1, 0, 0)), 0, 0, -1);
    // c turns about x.
    expectVector(Matrix(Rotation(0, 0, 16384)).transformPoint(Vector(0, 1, 0)), 0, 0, 1);
    // c acts first: (0,0,1) goes to (0,-1,0) about x, then to (1,0,0) about z.
    expectVector(Matrix(Rotation(16384, 0, 16384)).transformPoint(Vector(0, 0, 1)), 1, 0, 0);
    // The rotation part has no translation.
    const Matrix m(Rotation(1000, 2000, 3000));
    EXPECT_EQ(m(0, 3), 0.0f);
    EXPECT_EQ(m(1, 3), 0.0f);
    EXPECT_EQ(m(2, 3), 0.0f);
}

TEST(MatrixProduct, TheRightHandFactorActsOnThePointFirst) {
    const Matrix identity;
    EXPECT_TRUE(isIdentity(identity));
    EXPECT_TRUE(isIdentity(Matrix(Vector(5, 6, 7), 2)));

    const Matrix move(Vector(1, 2, 3), Matrix::translation);
    const Matrix grow(Vector(2, 3, 4), Matrix::scale);
    expectVector(move.transformPoint(Vector()), 1, 2, 3);
    expectVector(grow.transformPoint(Vector(1, 1, 1)), 2, 3, 4);

    Matrix moveAfterGrow = move;
    moveAfterGrow.multiply(grow);
    expectVector(moveAfterGrow.transformPoint(Vector(1, 1, 1)), 3, 5, 7);
    Matrix growAfterMove = grow;
    growAfterMove.multiply(move);
    expectVector(growAfterMove.transformPoint(Vector(1, 1, 1)), 4, 9, 16);

    // Placement: translation × scale × rotation rotates, then scales, then moves.
    Matrix placement = move;
    placement.multiply(grow);
    placement.multiply(Matrix(Rotation(16384, 0, 0)));
    expectVector(placement.transformPoint(Vector(1, 0, 0)), 1, 5, 3);
    expectVector(placement.transformPoint(Vector()), 1, 2, 3);

    Matrix unchanged = placement;
    unchanged.multiply(identity);
    EXPECT_EQ(std::memcmp(unchanged.m, placement.m, sizeof placement.m), 0);
}

TEST(VectorArithmetic, CrossLengthAndNormalise) {
    expectVector(Vector(1, 0, 0).cross(Vector(0, 1, 0)), 0, 0, 1);
    expectVector(Vector(0, 1, 0).cross(Vector(1, 0, 0)), 0, 0, -1);
    EXPECT_FLOAT_EQ(Vector(3, 4, 12).length(), 13.0f);
    Vector v(3, 4, 12);
    v.normalise();
    expectVector(v, 3.0f / 13, 4.0f / 13, 12.0f / 13);
    Vector zero;
    zero.normalise();
    expectVector(zero, 0, 0, 0);
}

TEST(StoredVariables, RawBytesReadAndWritten) {
    const Vector written(1.5f, -2.0f, 8.25f);
    ASSERT_EQ(written.size(), 12u);
    const std::string bytes(static_cast<const char*>(written.data()), written.size());
    std::istringstream in(bytes + "rest");
    Vector read;
    EXPECT_TRUE(read.read(in));
    expectVector(read, 1.5f, -2.0f, 8.25f);
    EXPECT_EQ(in.tellg(), std::streampos(12));

    std::istringstream shortStream(bytes.substr(0, 11));
    Vector untouched(7, 7, 7);
    EXPECT_FALSE(untouched.read(shortStream));
    expectVector(untouched, 7, 7, 7);

    Matrix placed(Vector(4, 5, 6), Matrix::translation);
    ASSERT_EQ(placed.size(), 48u);
    std::istringstream matrixIn(
        std::string(static_cast<const char*>(placed.data()), placed.size()));
    Matrix copy(Vector(9, 9, 9), Matrix::scale);
    EXPECT_TRUE(copy.read(matrixIn));
    EXPECT_EQ(std::memcmp(copy.m, placed.m, sizeof placed.m), 0);

    // A rotation has no raw bytes: it neither consumes nor writes any.
    Rotation rotation(1, 2, 3);
    std::istringstream rotationIn("abcd");
    EXPECT_TRUE(rotation.read(rotationIn));
    EXPECT_EQ(rotationIn.tellg(), std::streampos(0));
    EXPECT_EQ(rotation.size(), 0u);
    EXPECT_EQ(rotation.data(), nullptr);
    EXPECT_EQ(rotation.c, 3);
}
