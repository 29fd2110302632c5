// Spark emitters without a window: what a burst draws from rand() and in which order, how sparks
// move, fade and expire frame by frame, and what an emitter that never burst does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "game/emitter.h"
#include "platform/random.h"

namespace {

constexpr float tileScale = 0.8f;  // u, the tile's uniform scale
constexpr std::int32_t framePeriod = 33;

// Set up the way the board sets up a tile's emitter.
void setUpLikeTheBoard(Emitter& emitter, const Vector& tileCentre) {
    emitter.setDefaultTimeRanges();
    emitter.allocateParticles();
    emitter.setSize(tileScale / 2);
    emitter.setBirthDistanceRange(tileScale / 2);
    emitter.setSpeedRange(2 * tileScale, tileScale / 2);
    emitter.setPosition(tileCentre + Vector(0, 0, 0.1f));
    emitter.setColour(3);
}

float planarDistance(const Vector& a, const Vector& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// One draw of the game's random generator (0..32767).
int r() {
    return platform::random();
}

// What one spark of a burst must hold, worked out from the same rand() sequence.
struct ExpectedSpark {
    std::int32_t fadeStart;
    std::int32_t lifeEnd;
    Vector position;
    Vector velocity;
    float angle;
};

ExpectedSpark nextExpectedSpark(const Emitter& emitter) {
    const float twoPi = 6.28318530718f;
    ExpectedSpark spark;
    spark.fadeStart = 250 + r() * 300 / 32767;
    spark.lifeEnd = spark.fadeStart + 500 + r() * 200 / 32767;
    const float distance = static_cast<float>(r()) * (tileScale / 2) / 32767.0f;
    const float birthAngle = static_cast<float>(r()) * twoPi / 32767.0f;
    spark.position = emitter.position +
                     Vector(distance * std::sin(birthAngle), distance * std::cos(birthAngle), 0.0f);
    const float speed =
        tileScale / 2 + static_cast<float>(r()) * (2 * tileScale - tileScale / 2) / 32767;
    spark.angle = static_cast<float>(r()) * twoPi / 32767.0f;
    spark.velocity = Vector(speed * std::sin(spark.angle), speed * std::cos(spark.angle), 0.0f);
    return spark;
}

void expectBurstFromSeed(const Emitter& emitter, unsigned seed) {
    platform::seedRandom(seed);
    for (const Particle& particle : emitter.particles) {
        const ExpectedSpark expected = nextExpectedSpark(emitter);
        EXPECT_EQ(particle.fadeStart, expected.fadeStart);
        EXPECT_EQ(particle.lifeEnd, expected.lifeEnd);
        EXPECT_NEAR(particle.position.x, expected.position.x, 1e-5f);
        EXPECT_NEAR(particle.position.y, expected.position.y, 1e-5f);
        EXPECT_FLOAT_EQ(particle.position.z, expected.position.z);
        EXPECT_NEAR(particle.velocity.x, expected.velocity.x, 1e-5f);
        EXPECT_NEAR(particle.velocity.y, expected.velocity.y, 1e-5f);
        EXPECT_EQ(particle.velocity.z, 0.0f);
        EXPECT_NEAR(particle.angle, expected.angle, 1e-6f);
        EXPECT_EQ(particle.age, 0);
        EXPECT_EQ(particle.alpha, 1.0f);
    }
}

}  // namespace

TEST(EmitterSetUp, AllocationGivesThirtyRestingSparksAndTheDefaultRanges) {
    Emitter emitter;
    EXPECT_TRUE(emitter.particles.empty());
    emitter.fadeStartMinimum = 1;
    emitter.fadeLengthMaximum = 2;
    emitter.setDefaultTimeRanges();
    EXPECT_EQ(emitter.fadeStartMinimum, 250);
    EXPECT_EQ(emitter.fadeStartMaximum, 550);
    EXPECT_EQ(emitter.fadeLengthMinimum, 500);
    EXPECT_EQ(emitter.fadeLengthMaximum, 700);

    emitter.allocateParticles();
    ASSERT_EQ(emitter.particles.size(), 30u);
    for (const Particle& particle : emitter.particles) {
        EXPECT_EQ(particle.position.x, 0.0f);
        EXPECT_EQ(particle.velocity.y, 0.0f);
        EXPECT_EQ(particle.age, 0);
        EXPECT_EQ(particle.lifeEnd, 0);
        EXPECT_EQ(particle.fadeStart, 0);
        EXPECT_EQ(particle.alpha, 1.0f);
        EXPECT_EQ(particle.angle, 0.0f);
    }
    EXPECT_EQ(emitter.getTypeId(), 8);
    EXPECT_TRUE(emitter.isActor());
    EXPECT_FALSE(emitter.isTile());
    EXPECT_FALSE(emitter.actorFlag());
}

TEST(EmitterSetUp, BirthDistanceMinimumDefaultsToZero) {
    Emitter emitter;
    emitter.birthDistanceMinimum = 5.0f;
    emitter.setBirthDistanceRange(0.4f);
    EXPECT_EQ(emitter.birthDistanceMaximum, 0.4f);
    EXPECT_EQ(emitter.birthDistanceMinimum, 0.0f);
    emitter.setSpeedRange(1.6f, 0.4f);
    EXPECT_EQ(emitter.speedMaximum, 1.6f);
    EXPECT_EQ(emitter.speedMinimum, 0.4f);
}

TEST(EmitterSetUp, AFreshEmitterShowsNoSparksUntilItBursts) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(1, 2, 0));
    EXPECT_EQ(emitter.drawnCount(), 0);
    emitter.update(framePeriod);
    EXPECT_EQ(emitter.drawnCount(), 0);
    emitter.burst();
    EXPECT_EQ(emitter.drawnCount(), Emitter::particleCount);
}

TEST(EmitterSetUp, WithoutParticlesBurstAndUpdateDoNothing) {
    Emitter emitter;
    emitter.setDefaultTimeRanges();
    platform::seedRandom(77);
    const int first = r();
    platform::seedRandom(77);
    emitter.burst();
    emitter.update(framePeriod);
    EXPECT_TRUE(emitter.particles.empty());
    EXPECT_EQ(emitter.drawnCount(), 0);
    EXPECT_EQ(r(), first);  // no random draws spent
}

TEST(EmitterBurst, RandomDrawsCoverZeroTo32767) {
    platform::seedRandom(2024);
    int lowest = 32767;
    int highest = 0;
    for (int i = 0; i < 20000; ++i) {
        const int value = platform::random();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, 100);
    EXPECT_GT(highest, 32667);
}

TEST(EmitterBurst, SparksDrawRandomValuesInTheirOrder) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(2.0f, -3.0f, 0.5f));
    for (unsigned seed : {1u, 4242u, 987654u}) {
        platform::seedRandom(seed);
        emitter.burst();
        expectBurstFromSeed(emitter, seed);
    }
    // Six draws per spark, no more: the next draw is the 181st of the seed.
    platform::seedRandom(5);
    for (int i = 0; i < 6 * Emitter::particleCount; ++i) {
        r();
    }
    const int after = r();
    platform::seedRandom(5);
    emitter.burst();
    EXPECT_EQ(r(), after);
}

TEST(EmitterBurst, EverySparkStartsWholeNearTheEmitterInsideItsRanges) {
    Emitter emitter;
    const Vector centre(4.0f, 1.5f, 0.0f);
    setUpLikeTheBoard(emitter, centre);
    for (unsigned seed = 0; seed < 50; ++seed) {
        platform::seedRandom(seed);
        emitter.burst();
        for (const Particle& particle : emitter.particles) {
            EXPECT_EQ(particle.alpha, 1.0f);
            EXPECT_EQ(particle.age, 0);
            EXPECT_LE(planarDistance(particle.position, emitter.position), tileScale / 2 + 1e-5f);
            EXPECT_FLOAT_EQ(particle.position.z, 0.1f);
            EXPECT_GE(particle.fadeStart, 250);
            EXPECT_LE(particle.fadeStart, 550);
            EXPECT_GE(particle.lifeEnd - particle.fadeStart, 500);
            EXPECT_LE(particle.lifeEnd - particle.fadeStart, 700);
            const float speed = particle.velocity.length();
            EXPECT_GE(speed, tileScale / 2 - 1e-5f);
            EXPECT_LE(speed, 2 * tileScale + 1e-5f);
            // The spark is turned the way it flies, measured from +y towards +x.
            EXPECT_NEAR(std::atan2(particle.velocity.x, particle.velocity.y),
                        std::remainder(particle.angle, 6.28318530718f), 1e-4f);
        }
    }
}

TEST(EmitterBurst, ASparkAlwaysOutlivesItsFadeStart) {
    Emitter emitter;
    emitter.allocateParticles();
    emitter.fadeStartMinimum = 300;
    emitter.fadeStartMaximum = 300;
    emitter.fadeLengthMinimum = 0;
    emitter.fadeLengthMaximum = 0;
    emitter.burst();
    for (const Particle& particle : emitter.particles) {
        EXPECT_EQ(particle.fadeStart, 300);
        EXPECT_EQ(particle.lifeEnd, 301);
    }
    EXPECT_EQ(emitter.drawnCount(), Emitter::particleCount);
}

TEST(EmitterBurst, ExtremeRangesStayWithinThirtyTwoBits) {
    Emitter emitter;
    emitter.allocateParticles();
    emitter.fadeStartMinimum = std::numeric_limits<std::int32_t>::max() - 10;
    emitter.fadeStartMaximum = std::numeric_limits<std::int32_t>::max();
    emitter.fadeLengthMinimum = std::numeric_limits<std::int32_t>::max();
    emitter.fadeLengthMaximum = std::numeric_limits<std::int32_t>::min();
    emitter.burst();
    for (const Particle& particle : emitter.particles) {
        EXPECT_GE(particle.lifeEnd, particle.fadeStart);
    }
    emitter.update(std::numeric_limits<std::int32_t>::max());
}

TEST(EmitterBurst, ABurstOneHundredMillisecondsLaterRestartsEverySpark) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(0, 0, 0));
    platform::seedRandom(11);
    emitter.burst();
    emitter.update(framePeriod);
    emitter.update(framePeriod);
    emitter.update(framePeriod);
    emitter.update(1);
    for (const Particle& particle : emitter.particles) {
        EXPECT_EQ(particle.age, 100);
    }
    // Moved between the bursts, so a spark of the first one would be far from the new place.
    emitter.setPosition(Vector(10, 10, 0.1f));
    platform::seedRandom(12);
    emitter.burst();
    expectBurstFromSeed(emitter, 12);
    for (const Particle& particle : emitter.particles) {
        EXPECT_LE(planarDistance(particle.position, emitter.position), tileScale / 2 + 1e-5f);
    }
}

TEST(EmitterMotion, SparksFlyInTheBoardPlaneAtTheirSpeed) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(1, 1, 0));
    emitter.setSpeedRange(tileScale / 2, tileScale / 2);
    platform::seedRandom(3);
    emitter.burst();
    const std::vector<Particle> before = emitter.particles;
    for (int frame = 1; frame <= 5; ++frame) {
        emitter.update(framePeriod);
        for (std::size_t i = 0; i < before.size(); ++i) {
            const Particle& particle = emitter.particles[i];
            EXPECT_NEAR(planarDistance(particle.position, before[i].position),
                        frame * tileScale / 2 * 0.033f, 1e-5f);
            EXPECT_EQ(particle.position.z, before[i].position.z);
        }
    }
}

TEST(EmitterMotion, FadingStartsOnTheFrameAfterFadeStartAndEndsAfterLifeEnd) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(0, 0, 0));
    emitter.burst();
    for (Particle& other : emitter.particles) {
        other.lifeEnd = std::min(other.lifeEnd, 600);
    }
    Particle& spark = emitter.particles[0];
    spark.fadeStart = 250;
    spark.lifeEnd = 950;

    for (int frame = 1; frame <= 7; ++frame) {  // ages 33 .. 231
        emitter.update(framePeriod);
        EXPECT_EQ(spark.alpha, 1.0f) << "age " << spark.age;
    }
    emitter.update(framePeriod);
    ASSERT_EQ(spark.age, 264);
    EXPECT_FLOAT_EQ(spark.alpha, 1.0f - 14.0f / 700.0f);

    while (spark.age < 924 && spark.age > 0) {
        const float previous = spark.alpha;
        emitter.update(framePeriod);
        EXPECT_LT(spark.alpha, previous);
    }
    EXPECT_EQ(spark.age, 924);
    EXPECT_TRUE(Emitter::isDrawn(spark));
    EXPECT_EQ(emitter.drawnCount(), 1);
    EXPECT_NEAR(spark.alpha, 1.0f - 674.0f / 700.0f, 1e-6f);

    emitter.update(framePeriod);
    EXPECT_EQ(spark.age, 957);
    EXPECT_FALSE(Emitter::isDrawn(spark));
    EXPECT_EQ(emitter.drawnCount(), 0);
}

TEST(EmitterMotion, EveryBurstIsSpentWithinThirteenHundredMilliseconds) {
    Emitter emitter;
    setUpLikeTheBoard(emitter, Vector(0, 0, 0));
    platform::seedRandom(99);
    emitter.burst();
    int frames = 0;
    while (emitter.drawnCount() > 0 && frames < 100) {
        emitter.update(framePeriod);
        ++frames;
    }
    EXPECT_LE(frames * framePeriod, 1300);
    // An idle emitter keeps still however long the game goes on.
    const std::vector<Particle> spent = emitter.particles;
    for (int i = 0; i < 1000; ++i) {
        emitter.update(std::numeric_limits<std::int32_t>::max());
    }
    for (std::size_t i = 0; i < spent.size(); ++i) {
        EXPECT_EQ(emitter.particles[i].age, spent[i].age);
        EXPECT_EQ(emitter.particles[i].position.x, spent[i].position.x);
    }
    EXPECT_EQ(emitter.drawnCount(), 0);
}
