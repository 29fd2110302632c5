#include "game/emitter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/random.h"
#include "render/player_colours.h"
#include "resources/texture.h"

namespace {

constexpr float twoPi = 6.28318530718f;
constexpr std::int64_t randomMaximum = platform::randomMaximum;

// Public ranges may hold anything; the sums are made wide and kept to 32 bits.
std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A value between minimum and maximum picked by one random draw, whole milliseconds.
std::int64_t randomBetween(std::int32_t minimum, std::int32_t maximum) {
    const std::int64_t r = platform::random();
    return minimum + r * (std::int64_t{maximum} - minimum) / randomMaximum;
}

float randomBetween(float minimum, float maximum) {
    return minimum + static_cast<float>(platform::random()) * (maximum - minimum) /
                         static_cast<float>(randomMaximum);
}

float randomAngle() {
    return static_cast<float>(platform::random()) * twoPi / static_cast<float>(randomMaximum);
}

}  // namespace

void Emitter::allocateParticles() {
    particles.assign(particleCount, Particle{});
}

void Emitter::setDefaultTimeRanges() {
    fadeStartMinimum = 250;
    fadeStartMaximum = 550;
    fadeLengthMinimum = 500;
    fadeLengthMaximum = 700;
}

void Emitter::setSpeedRange(float maximum, float minimum) {
    speedMaximum = maximum;
    speedMinimum = minimum;
}

void Emitter::setBirthDistanceRange(float maximum, float minimum) {
    birthDistanceMaximum = maximum;
    birthDistanceMinimum = minimum;
}

void Emitter::burst() {
    for (Particle& particle : particles) {
        // The draws are made in this order: fade start, fade length, distance, birth angle,
        // speed, direction.
        const std::int64_t fadeStart = randomBetween(fadeStartMinimum, fadeStartMaximum);
        std::int64_t lifeEnd = fadeStart + randomBetween(fadeLengthMinimum, fadeLengthMaximum);

        const float distance = randomBetween(birthDistanceMinimum, birthDistanceMaximum);
        const float birthAngle = randomAngle();
        particle.position = position + Vector(distance * std::sin(birthAngle),
                                              distance * std::cos(birthAngle), 0.0f);

        const float speed = randomBetween(speedMinimum, speedMaximum);
        const float direction = randomAngle();
        particle.velocity = Vector(speed * std::sin(direction), speed * std::cos(direction), 0.0f);

        particle.age = 0;
        particle.alpha = 1.0f;
        // A spark must live past its fade start, or the fade would divide by zero.
        lifeEnd = std::max(lifeEnd, fadeStart + 1);
        particle.fadeStart = clampToInt32(fadeStart);
        particle.lifeEnd = clampToInt32(lifeEnd);
        particle.angle = direction;
    }
}

void Emitter::update(std::int32_t elapsedMs) {
    const float seconds = static_cast<float>(elapsedMs) * 0.001f;
    for (Particle& particle : particles) {
        // Spent sparks stay spent until the next burst; leaving their age alone keeps it from
        // running over on an emitter that idles for a long game.
        if (!isDrawn(particle)) {
            continue;
        }
        particle.position += particle.velocity * seconds;
        particle.age = clampToInt32(std::int64_t{particle.age} + elapsedMs);
        if (particle.age > particle.fadeStart && particle.lifeEnd > particle.fadeStart) {
            particle.alpha = 1.0f - static_cast<float>(particle.age - particle.fadeStart) /
                                        static_cast<float>(particle.lifeEnd - particle.fadeStart);
        }
    }
}

int Emitter::drawnCount() const {
    return static_cast<int>(std::count_if(particles.begin(), particles.end(), isDrawn));
}

void Emitter::draw() {
    // Idle emitters (most of the board) cost only the age tests.
    if (std::none_of(particles.begin(), particles.end(), isDrawn)) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->glName() : 0);

    // The view's right and up axes in world space are the modelview's first two rows.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vector right(m[0], m[4], m[8]);
    const Vector up(m[1], m[5], m[9]);
    Vector across = right + up;
    across.normalise();
    across *= size;
    Vector diagonal = up - right;
    diagonal.normalise();
    diagonal *= size;

    const float* rgba = playerColour(colour);
    glBegin(GL_QUADS);
    for (const Particle& particle : particles) {
        if (!isDrawn(particle)) {
            continue;
        }
        const float c = std::cos(particle.angle);
        const float s = std::sin(particle.angle);
        const Vector& p = particle.position;
        const Vector corners[4] = {
            p - across * c + diagonal * s,
            p + diagonal * c + across * s,
            p + across * c - diagonal * s,
            p - diagonal * c - across * s,
        };
        static constexpr float texCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        glColor4f(rgba[0], rgba[1], rgba[2], particle.alpha);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(texCoords[k][0], texCoords[k][1]);
            glVertex3f(corners[k].x, corners[k].y, corners[k].z);
        }
    }
    glEnd();
}
