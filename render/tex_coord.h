// A texture coordinate.
#pragma once

struct TexCoord {
    TexCoord() = default;
    TexCoord(float u, float v) : u(u), v(v) {}

    float u = 0.0f;
    float v = 0.0f;
};
