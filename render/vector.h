// A point or direction in 3D, in single precision.
#pragma once

#include "render/stored_variable.h"

class Vector : public StoredVariable {
  public:
    Vector() = default;
    Vector(float x, float y, float z) : x(x), y(y), z(z) {}

    // Reads x, y, z as three little-endian floats.
    bool read(std::istream& in) override;
    const void* data() const override { return &x; }
    std::size_t size() const override { return 3 * sizeof(float); }

    void set(float newX, float newY, float newZ);
    Vector& operator+=(const Vector& other);
    Vector& operator-=(const Vector& other);
    Vector& operator*=(float factor);
    Vector operator+(const Vector& other) const;
    Vector operator-(const Vector& other) const;
    Vector operator*(float factor) const;
    Vector cross(const Vector& other) const;
    float length() const;
    // Scales to length 1. A zero vector has no direction and stays zero rather than becoming
    // NaN, which would poison everything computed from it.
    void normalise();

    // Kept together in this order: data() hands them out as one block of 12 bytes.
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
