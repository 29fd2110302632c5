// An orientation as three binary angles of 65536 units per turn: a about z, b about y, c about
// x, with c applied to a point first.
#pragma once

#include <cstdint>

#include "render/stored_variable.h"

class Rotation : public StoredVariable {
  public:
    // Radians and degrees per angle unit.
    static constexpr float radiansPerUnit = 9.58738e-05f;
    static constexpr float degreesPerUnit = 0.0054931640625f;
    static constexpr float unitsPerDegree = 182.04445f;

    Rotation() = default;
    Rotation(std::uint16_t a, std::uint16_t b, std::uint16_t c) : a(a), b(b), c(c) {}

    // Rotation (0, 0, c).
    void reset(std::uint16_t newC);
    // Sets c alone; the angle is truncated toward zero and wraps to 16 bits.
    void setDegrees(float degrees);
    // Multiplies the current GL matrix by this rotation.
    void applyToGL() const;

    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
};
