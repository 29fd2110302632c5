// An affine transform: three rows of four floats with an implicit fourth row 0 0 0 1; column 3
// is the translation.
#pragma once

#include "render/rotation.h"
#include "render/stored_variable.h"
#include "render/vector.h"

class Matrix : public StoredVariable {
  public:
    enum Kind { scale = 0, translation = 1 };

    // The identity.
    Matrix();
    // Kind 0: scale by x, y, z; kind 1: move by x, y, z; any other kind: the identity.
    Matrix(const Vector& v, int kind);
    explicit Matrix(const Rotation& rotation);

    bool read(std::istream& in) override;
    const void* data() const override { return m; }
    std::size_t size() const override { return sizeof m; }

    float& operator()(int row, int column) { return m[row * 4 + column]; }
    float operator()(int row, int column) const { return m[row * 4 + column]; }

    // this := this × other, so that `other` acts on a point first.
    void multiply(const Matrix& other);
    Vector transformPoint(const Vector& v) const;

    // Row-major: m00 m01 m02 m03 m10 … m23.
    float m[12];
};
