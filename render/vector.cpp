#include "render/vector.h"

#include <cmath>
#include <cstring>

#include "resources/byte_reader.h"

bool Vector::read(std::istream& in) {
    ByteReader reader(in);
    float values[3];
    for (float& value : values) {
        if (!reader.f32(value)) {
            return false;
        }
    }
    set(values[0], values[1], values[2]);
    return true;
}

void Vector::set(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

Vector& Vector::operator+=(const Vector& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

Vector& Vector::operator-=(const Vector& other) {
    x -= other.x;
    y -= other.y;
    z -= other.z;
    return *this;
}

Vector& Vector::operator*=(float factor) {
    x *= factor;
    y *= factor;
    z *= factor;
    return *this;
}

Vector Vector::operator+(const Vector& other) const {
    return Vector(x + other.x, y + other.y, z + other.z);
}

Vector Vector::operator-(const Vector& other) const {
    return Vector(x - other.x, y - other.y, z - other.z);
}

Vector Vector::operator*(float factor) const {
    return Vector(x * factor, y * factor, z * factor);
}

Vector Vector::cross(const Vector& other) const {
    return Vector(y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x);
}

float Vector::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

void Vector::normalise() {
    const float current = length();
    if (current > 0.0f && std::isfinite(current)) {
        *this *= 1.0f / current;
    }
}
