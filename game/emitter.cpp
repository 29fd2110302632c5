#include "game/emitter.h"

// Stand-in until the sparks are written.
void Emitter::update(std::int32_t) {}
void Emitter::draw() {}
void Emitter::allocateParticles() {
    particles.assign(particleCount, Particle{});
}
void Emitter::setDefaultTimeRanges() {}
void Emitter::setSpeedRange(float maximum, float minimum) {
    speedMaximum = maximum;
    speedMinimum = minimum;
}
void Emitter::setBirthDistanceRange(float maximum, float minimum) {
    birthDistanceMaximum = maximum;
    birthDistanceMinimum = minimum;
}
void Emitter::burst() {}
