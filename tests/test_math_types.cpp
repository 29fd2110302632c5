// Vectors, rotations and placement matrices, and their raw bytes in files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

#include "render/matrix.h"
#include "render/player_colours.h"
#include "render/rotation.h"
#include "render/vector.h"

namespace {

void expectVector(const Vector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

}  // namespace

TEST(RotationAngles, DegreesAreTruncatedToSixteenBitUnitsOfTheThirdAngle) {
    const std::pair<float, int> cases[] = {{90.0f, 16384},  {359.99f, 65534}, {0.004f, 0},
                                           {-90.0f, 49152}, {810.0f, 16384},  {NAN, 0}};
    for (const auto& [degrees, units] : cases) {
        Rotation rotation(1, 2, 3);
        rotation.setDegrees(degrees);
        EXPECT_EQ(std::make_tuple(rotation.a, rotation.b, rotation.c), std::make_tuple(1, 2, units))
            << degrees;
    }
}

TEST(MatrixProduct, RotationsTurnTheAxesAndTheRightHandFactorActsFirst) {
    expectVector(Matrix(Rotation(16384, 0, 0)).transformPoint(Vector(1, 0, 0)), 0, 1, 0);   // a: z
    expectVector(Matrix(Rotation(0, 16384, 0)).transformPoint(Vector(1, 0, 0)), 0, 0, -1);  // b: y
    expectVector(Matrix(Rotation(0, 0, 16384)).transformPoint(Vector(0, 1, 0)), 0, 0, 1);   // c: x
    // c acts first: (0,0,1) goes to (0,-1,0) about x, then to (1,0,0) about z.
    expectVector(Matrix(Rotation(16384, 0, 16384)).transformPoint(Vector(0, 0, 1)), 1, 0, 0);
    // Placement: translation x scale x rotation turns, then scales, then moves.
    Matrix placement(Vector(1, 2, 3), Matrix::translation);
    placement.multiply(Matrix(Vector(2, 3, 4), Matrix::scale));
    expectVector(placement.transformPoint(Vector(1, 1, 1)), 3, 5, 7);
    placement.multiply(Matrix(Rotation(16384, 0, 0)));
    expectVector(placement.transformPoint(Vector(1, 0, 0)), 1, 5, 3);
    expectVector(Matrix().transformPoint(Vector(1, 2, 3)), 1, 2, 3);
}

TEST(VectorArithmetic, CrossLengthAndNormalise) {
    expectVector(Vector(0, 1, 0).cross(Vector(1, 0, 0)), 0, 0, -1);
    Vector v(3, 4, 12);
    EXPECT_FLOAT_EQ(v.length(), 13.0f);
    v.normalise();
    expectVector(v, 3.0f / 13, 4.0f / 13, 12.0f / 13);
    Vector zero;
    zero.normalise();  // no direction: stays zero rather than NaN
    expectVector(zero, 0, 0, 0);
}

TEST(StoredVariables, RawBytesReadAndWritten) {
    const Vector written(1.5f, -2.0f, 8.25f);
    const std::string bytes(static_cast<const char*>(written.data()), written.size());
    std::istringstream in(bytes + "rest");
    Vector read;
    EXPECT_TRUE(read.read(in));
    expectVector(read, 1.5f, -2.0f, 8.25f);
    EXPECT_EQ(in.tellg(), std::streampos(12));
    std::istringstream shortStream(bytes.substr(0, 11));
    EXPECT_FALSE(read.read(shortStream));
    expectVector(read, 1.5f, -2.0f, 8.25f);  // untouched

    const Matrix placed(Vector(4, 5, 6), Matrix::translation);
    std::istringstream matrixIn(std::string(static_cast<const char*>(placed.data()), 48));
    Matrix copy(Vector(9, 9, 9), Matrix::scale);
    EXPECT_TRUE(copy.read(matrixIn));
    EXPECT_EQ(std::memcmp(copy.m, placed.m, sizeof placed.m), 0);
    // A rotation has no raw bytes: it neither consumes nor writes any.
    Rotation rotation(1, 2, 3);
    EXPECT_TRUE(rotation.read(in));
    EXPECT_EQ(in.tellg(), std::streampos(12));
    EXPECT_EQ(rotation.size(), 0u);
}

TEST(PlayerColours, ColoursOutsideThePaletteTakeItsFirstRow) {
    for (int colour : {-1, 9, 42}) {
        EXPECT_EQ(playerColour(colour), playerColour(0)) << colour;
    }
    EXPECT_NE(playerColour(8), playerColour(0));
}
