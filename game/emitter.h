// A tile's burst of sparks, shown when the tile changes colour in play: 30 camera-facing
// textured squares in the emitter's palette colour that fly off in the board's plane and fade.
#pragma once

#include <cstdint>
#include <vector>

#include "game/actor.h"

struct Particle {
    Vector position;
    Vector velocity;  // units per second
    std::int32_t age = 0;
    std::int32_t lifeEnd = 0;  // drawn while age <= lifeEnd
    std::int32_t fadeStart = 0;
    float alpha = 1.0f;
    float angle = 0.0f;  // turn in the view plane, radians
};

class Emitter : public Actor {
  public:
    static constexpr int particleCount = 30;

    bool isTile() const override { return false; }
    bool actorFlag() const override { return false; }
    void update(std::int32_t elapsedMs) override;
    void draw() override;

    void allocateParticles();
    void setSize(float newSize) { size = newSize; }
    void setDefaultTimeRanges();
    void setSpeedRange(float maximum, float minimum);
    void setBirthDistanceRange(float maximum, float minimum = 0.0f);
    // Restarts every spark at the emitter's position.
    void burst();
    void setColour(std::int32_t newColour) { colour = newColour; }

    // Whether draw shows the spark. A spark that was never burst (lifeEnd not past fadeStart,
    // which burst always ensures) is spent, so a fresh emitter shows nothing at the origin.
    static bool isDrawn(const Particle& particle) {
        return particle.age <= particle.lifeEnd && particle.lifeEnd > particle.fadeStart;
    }
    int drawnCount() const;

    std::int32_t colour = 0;
    std::vector<Particle> particles;  // empty until allocated
    float birthDistanceMaximum = 0.0f;
    float birthDistanceMinimum = 0.0f;
    float speedMaximum = 0.0f;
    float speedMinimum = 0.0f;
    float size = 0.0f;
    std::int32_t fadeStartMinimum = 250;
    std::int32_t fadeStartMaximum = 550;
    std::int32_t fadeLengthMinimum = 500;
    std::int32_t fadeLengthMaximum = 700;
};
