// Spark emitters without a window: what a burst draws from the random generator and in which
// order, how sparks move, fade and expire frame by frame, and what an emitter that never burst
// does.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "game/emitter.h"
#include "platform/random.h"

namespace {

constexpr float u = 0.8f;  // the tile's uniform scale
constexpr float twoPi = 6.28318530718f;

float planarDistance(const Vector& a, const Vector& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

TEST(EmitterBurst, SixDrawsPerSparkEachInItsPlace) {
    // With every range 0..32767 wide a draw shows as it came: fade start, fade length,
    // distance, birth angle, speed and direction, in that order.
    Emitter emitter;
    emitter.allocateParticles();
    emitter.fadeStartMaximum = emitter.fadeLengthMaximum = 32767;
    emitter.fadeStartMinimum = emitter.fadeLengthMinimum = 0;
    emitter.setBirthDistanceRange(32767.0f);
    emitter.setSpeedRange(32767.0f, 0.0f);
    platform::seedRandom(5);
    std::vector<int> draws(6 * Emitter::particleCount + 1);
    for (int& draw : draws) {
        draw = platform::random();
    }
    platform::seedRandom(5);
    emitter.burst();
    EXPECT_EQ(platform::random(), draws.back());
    for (std::size_t i = 0; i < emitter.particles.size(); ++i) {
        const Particle& spark = emitter.particles[i];
        const int* d = &draws[6 * i];
        EXPECT_EQ(spark.fadeStart, d[0]);
        EXPECT_EQ(spark.lifeEnd, d[0] + std::max(d[1], 1));
        EXPECT_NEAR(spark.position.length(), d[2], 0.05f);
        EXPECT_NEAR(std::atan2(spark.position.x, spark.position.y),
                    std::remainder(static_cast<float>(d[3]) * twoPi / 32767, twoPi), 1e-3f);
        EXPECT_NEAR(spark.velocity.length(), d[4], 0.05f);
        EXPECT_NEAR(spark.angle, static_cast<float>(d[5]) * twoPi / 32767, 1e-6f);
        EXPECT_EQ(std::make_pair(spark.age, spark.alpha), std::make_pair(0, 1.0f));
    }
}

TEST(EmitterBurst, EverySparkStartsNearTheEmitterInsideTheBoardsRanges) {
    // Set up the way the board sets up a tile's emitter, over other time ranges.
    Emitter emitter;
    emitter.fadeStartMinimum = emitter.fadeLengthMinimum = 0;
    emitter.setDefaultTimeRanges();
    emitter.allocateParticles();
    emitter.setBirthDistanceRange(u / 2);
    emitter.setSpeedRange(2 * u, u / 2);
    emitter.setPosition(Vector(4.0f, 1.5f, 0.1f));
    auto within = [](float value, float low, float high) { return value >= low && value <= high; };
    for (unsigned seed = 0; seed < 50; ++seed) {
        platform::seedRandom(seed);
        emitter.burst();
        for (const Particle& spark : emitter.particles) {
            EXPECT_TRUE(within(planarDistance(spark.position, emitter.position), 0, u / 2 + 1e-5f));
            EXPECT_FLOAT_EQ(spark.position.z, 0.1f);
            EXPECT_TRUE(within(spark.fadeStart, 250, 550));
            EXPECT_TRUE(within(spark.lifeEnd - spark.fadeStart, 500, 700));
            EXPECT_TRUE(within(spark.velocity.length(), u / 2 - 1e-5f, 2 * u + 1e-5f));
            // The spark is turned the way it flies, measured from +y towards +x.
            EXPECT_NEAR(std::atan2(spark.velocity.x, spark.velocity.y),
                        std::remainder(spark.angle, twoPi), 1e-4f);
        }
    }
}

TEST(EmitterBurst, RangesWithoutLengthOrBeyondThirtyTwoBitsAndEmittersWithoutSparks) {
    Emitter emitter;
    emitter.allocateParticles();
    emitter.fadeStartMinimum = emitter.fadeStartMaximum = 300;
    emitter.fadeLengthMinimum = emitter.fadeLengthMaximum = 0;
    emitter.burst();
    EXPECT_EQ(emitter.particles[0].lifeEnd, 301);  // a spark always outlives its fade start
    emitter.fadeStartMinimum = std::numeric_limits<std::int32_t>::max() - 10;
    emitter.fadeStartMaximum = emitter.fadeLengthMinimum = std::numeric_limits<std::int32_t>::max();
    emitter.fadeLengthMaximum = std::numeric_limits<std::int32_t>::min();
    emitter.burst();
    for (const Particle& spark : emitter.particles) {
        EXPECT_GE(spark.lifeEnd, spark.fadeStart);
    }
    emitter.update(std::numeric_limits<std::int32_t>::max());
    // Without particles a burst and an update do nothing, and draw nothing at random.
    Emitter empty;
    platform::seedRandom(77);
    const int first = platform::random();
    platform::seedRandom(77);
    empty.burst();
    empty.update(33);
    EXPECT_EQ(empty.drawnCount(), 0);
    EXPECT_EQ(platform::random(), first);
}

TEST(EmitterMotion, SparksFlyFadeAndExpireFrameByFrame) {
    Emitter emitter;
    emitter.allocateParticles();
    emitter.setSpeedRange(2 * u, u / 2);
    EXPECT_EQ(emitter.drawnCount(), 0);  // nothing until the first burst
    emitter.burst();
    for (Particle& other : emitter.particles) {
        other.lifeEnd = std::min(other.lifeEnd, 600);
    }
    Particle& spark = emitter.particles[0];
    spark.fadeStart = 250;
    spark.lifeEnd = 950;
    const Vector start = spark.position;
    for (int frame = 1; frame <= 7; ++frame) {  // ages 33 .. 231: whole, flying in the plane
        emitter.update(33);
        EXPECT_EQ(spark.alpha, 1.0f) << "age " << spark.age;
        EXPECT_NEAR((spark.position - start).length(), frame * spark.velocity.length() * 0.033f,
                    1e-5f);
    }
    emitter.update(33);
    EXPECT_FLOAT_EQ(spark.alpha, 1.0f - 14.0f / 700.0f);  // age 264
    while (spark.age < 924 && spark.age > 0) {
        const float previous = spark.alpha;
        emitter.update(33);
        EXPECT_LT(spark.alpha, previous);
    }
    EXPECT_NEAR(spark.alpha, 1.0f - 674.0f / 700.0f, 1e-6f);  // age 924: drawn for the last time
    EXPECT_EQ(emitter.drawnCount(), 1);
    emitter.update(33);
    EXPECT_EQ(emitter.drawnCount(), 0);
    // A spent emitter keeps still however long the game goes on.
    const Vector spent = spark.position;
    for (int i = 0; i < 1000; ++i) {
        emitter.update(std::numeric_limits<std::int32_t>::max());
    }
    EXPECT_EQ(spark.age, 957);
    EXPECT_EQ(spark.position.x, spent.x);
}
