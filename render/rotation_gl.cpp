// The GL side of Rotation, kept apart so the math types build without GL.
#include <GL/gl.h>

#include <cmath>

#include "render/rotation.h"

void Rotation::applyToGL() const {
    const float angleA = static_cast<float>(a) * radiansPerUnit;
    const float angleB = static_cast<float>(b) * radiansPerUnit;
    const float sa = std::sin(angleA);
    const float ca = std::cos(angleA);
    const float sb = std::sin(angleB);
    const float cb = std::cos(angleB);
    // c about the x axis carried by a and b, b about the y axis carried by a, a about z.
    glRotatef(static_cast<float>(c) * degreesPerUnit, ca * cb, sa * cb, -sb);
    glRotatef(static_cast<float>(b) * degreesPerUnit, -sa, ca, 0.0f);
    glRotatef(static_cast<float>(a) * degreesPerUnit, 0.0f, 0.0f, 1.0f);
}
