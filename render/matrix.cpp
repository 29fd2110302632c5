#include "render/matrix.h"

#include <cmath>

#include "resources/byte_reader.h"

Matrix::Matrix() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0} {}

Matrix::Matrix(const Vector& v, int kind) : Matrix() {
    if (kind == scale) {
        m[0] = v.x;
        m[5] = v.y;
        m[10] = v.z;
    } else if (kind == translation) {
        m[3] = v.x;
        m[7] = v.y;
        m[11] = v.z;
    }
}

Matrix::Matrix(const Rotation& rotation) {
    const float a = static_cast<float>(rotation.a) * Rotation::radiansPerUnit;
    const float b = static_cast<float>(rotation.b) * Rotation::radiansPerUnit;
    const float c = static_cast<float>(rotation.c) * Rotation::radiansPerUnit;
    const float sa = std::sin(a), ca = std::cos(a);
    const float sb = std::sin(b), cb = std::cos(b);
    const float sc = std::sin(c), cc = std::cos(c);
    const float rows[12] = {
        ca * cb,
        ca * sb * sc - sa * cc,
        ca * sb * cc + sa * sc,
        0.0f,
        sa * cb,
        sa * sb * sc + ca * cc,
        sa * sb * cc - ca * sc,
        0.0f,
        -sb,
        cb * sc,
        cb * cc,
        0.0f,
    };
    for (int i = 0; i < 12; ++i) {
        m[i] = rows[i];
    }
}

bool Matrix::read(std::istream& in) {
    ByteReader reader(in);
    float values[12];
    for (float& value : values) {
        if (!reader.f32(value)) {
            return false;
        }
    }
    for (int i = 0; i < 12; ++i) {
        m[i] = values[i];
    }
    return true;
}

void Matrix::multiply(const Matrix& other) {
    const Matrix left = *this;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k) {
                sum += left(row, k) * other(k, column);
            }
            // The implicit fourth row (0 0 0 1) of `other` carries this translation through.
            if (column == 3) {
                sum += left(row, 3);
            }
            (*this)(row, column) = sum;
        }
    }
}

Vector Matrix::transformPoint(const Vector& v) const {
    return Vector(m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3],
                  m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7],
                  m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11]);
}
