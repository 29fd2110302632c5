#include "render/rotation.h"

#include <cmath>

void Rotation::reset(std::uint16_t newC) {
    a = 0;
    b = 0;
    c = newC;
}

void Rotation::setDegrees(float degrees) {
    const float units = degrees * unitsPerDegree;
    if (!std::isfinite(units)) {
        c = 0;
        return;
    }
    // Taking the remainder first keeps the conversion to an integer in range for any angle
    // and gives the same 16 bits as truncating the whole value.
    const float wrapped = std::fmod(units, 65536.0f);
    c = static_cast<std::uint16_t>(static_cast<std::int32_t>(wrapped));
}
