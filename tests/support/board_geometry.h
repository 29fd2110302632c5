// Where the board puts a cell: the transform of the tile at (row, column) of a board of the
// given size, as the board's placement rule lays cells out, and its centre in screen units.
#pragma once

#include <cmath>

#include "render/matrix.h"
#include "render/rotation.h"
#include "render/vector.h"

namespace testing_support {

struct CellPlacement {
    float cellWidth;
    Vector centre;
    Matrix transform;
};

inline CellPlacement placeCell(int rows, int columns, int row, int column) {
    const float root3 = std::sqrt(3.0f);
    const float a = 16.0f / (15.0f * columns + 5.0f);
    const float b = 4.0f * root3 / (10.0f * rows + 5.0f);
    const float s = a < b ? a : b;
    const float x0 = a < b ? 0.1f : 0.5f - (3.0f * columns + 1.0f) * s / 8.0f;
    const float y0 = a < b ? 0.35f - (root3 / 4.0f) * (rows + 0.5f) * s : 0.05f;
    const float k = column % 2 == 0 ? 0.5f : 1.0f;
    const Vector centre(x0 + (3.0f * column + 2.0f) * s / 4.0f, y0 + root3 / 2.0f * (row + k) * s,
                        0.0f);
    Matrix transform(centre, Matrix::translation);
    transform.multiply(Matrix(Vector(s / 2, s / 2, s / 2), Matrix::scale));
    transform.multiply(Matrix(Rotation(0, 0, 0xC000)));
    return CellPlacement{s, centre, transform};
}

}  // namespace testing_support
