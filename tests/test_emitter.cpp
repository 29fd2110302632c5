// Spark emitters without a window: what a burst draws from the random generator and in which
// order, how sparks move, fade and expire frame by frame, and what an emitter that never burst
// does.
#include <gtest/gtest.h>

#include <cmath>

#include "game/emitter.h"
#include "platform/random.h"

constexpr float u = 0.8f;  // the tile's uniform scale
constexpr float twoPi = 6.28318530718f;

TEST(EmitterBurst, SixDrawsPerSparkEachInItsPlace) {
    // With every range 32767 wide a draw shows as it came, on top of the range's minimum: fade
    // start, fade length, distance, birth angle, speed and direction, in that order.
    Emitter emitter;
    emitter.allocateParticles();
    emitter.fadeStartMinimum = 100, emitter.fadeStartMaximum = 32867;
    emitter.fadeLengthMinimum = 50, emitter.fadeLengthMaximum = 32817;
    emitter.setBirthDistanceRange(32867.0f, 100.0f), emitter.setSpeedRange(33767.0f, 1000.0f);
    emitter.setPosition(Vector(0, 0, 0.1f));
    platform::seedRandom(5);
    std::vector<int> draws(6 * Emitter::particleCount + 1);
    for (int& draw : draws)
        draw = platform::random();
    platform::seedRandom(5), emitter.burst();
    EXPECT_EQ(platform::random(), draws.back());
    for (std::size_t i = 0; i < emitter.particles.size(); ++i) {
        const Particle& spark = emitter.particles[i];
        const int* d = &draws[6 * i];
        EXPECT_EQ(std::make_tuple(spark.fadeStart, spark.lifeEnd - spark.fadeStart, spark.age,
                                  spark.alpha, spark.position.z),
                  std::make_tuple(100 + d[0], 50 + d[1], 0, 1.0f, 0.1f));
        EXPECT_NEAR(std::hypot(spark.position.x, spark.position.y), 100 + d[2], 0.05f);
        EXPECT_NEAR(std::atan2(spark.position.x, spark.position.y),
                    std::remainder(static_cast<float>(d[3]) * twoPi / 32767, twoPi), 1e-3f);
        EXPECT_NEAR(spark.velocity.length(), 1000 + d[4], 0.05f);
        EXPECT_NEAR(spark.angle, static_cast<float>(d[5]) * twoPi / 32767, 1e-6f);
        // The spark is turned the way it flies, measured from +y towards +x.
        EXPECT_NEAR(std::atan2(spark.velocity.x, spark.velocity.y),
                    std::remainder(spark.angle, twoPi), 1e-4f);
    }
    emitter.fadeStartMinimum = emitter.fadeStartMaximum = 300;
    emitter.fadeLengthMinimum = emitter.fadeLengthMaximum = 0;
    emitter.burst();
    EXPECT_EQ(emitter.particles[0].lifeEnd, 301);  // a spark always outlives its fade start
    // Without particles a burst and an update do nothing, and draw nothing at random.
    Emitter empty;
    platform::seedRandom(77);
    const int first = platform::random();
    platform::seedRandom(77), empty.burst(), empty.update(33);
    EXPECT_TRUE(empty.drawnCount() == 0 && platform::random() == first);
}

TEST(EmitterMotion, SparksFlyFadeAndExpireFrameByFrame) {
    Emitter emitter;
    emitter.fadeStartMinimum = emitter.fadeLengthMinimum = 0;
    // The board's ranges, as the board sets up a tile's emitter.
    emitter.setDefaultTimeRanges(), emitter.allocateParticles();
    emitter.setSpeedRange(2 * u, u / 2);
    platform::seedRandom(3), emitter.burst();
    for (Particle& other : emitter.particles) {
        EXPECT_TRUE(other.fadeStart >= 250 && other.lifeEnd - other.fadeStart >= 500);
        other.lifeEnd = std::min(other.lifeEnd, 600);
    }
    Particle& spark = emitter.particles[0];
    spark.fadeStart = 250, spark.lifeEnd = 950;
    const Vector start = spark.position;
    for (int frame = 1; frame <= 7; ++frame) {  // ages 33 .. 231: whole, flying in the plane
        emitter.update(33);
        EXPECT_NEAR((spark.position - start).length() + spark.alpha,
                    frame * spark.velocity.length() * 0.033f + 1, 1e-5f);
    }
    emitter.update(33);
    EXPECT_FLOAT_EQ(spark.alpha, 1.0f - 14.0f / 700.0f);  // age 264
    while (spark.age < 924 && spark.age > 0) {
        const float previous = spark.alpha;
        emitter.update(33);
        EXPECT_LT(spark.alpha, previous);
    }
    EXPECT_NEAR(spark.alpha, 1.0f - 674.0f / 700.0f, 1e-6f);  // age 924: drawn for the last time
    const int last = emitter.drawnCount();
    emitter.update(33);
    EXPECT_EQ(std::make_pair(last, emitter.drawnCount()), std::make_pair(1, 0));
    // A spent emitter keeps still however long the game goes on.
    const Vector spent = spark.position;
    for (int i = 0; i < 1000; ++i)
        emitter.update(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(std::make_pair(spark.age, spark.position.x), std::make_pair(957, spent.x));
}
