// Sparks drawn under a real GL context with the display's own state: where they land, their
// colour and alpha, camera-facing squares, the texture, and nothing once they are spent.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/display.h"
#include "game/emitter.h"
#include "platform/random.h"
#include "support/gl_pixels.h"

using testing_support::pixelAt;
using testing_support::Rgb;

namespace {

const Vector centre(0.5f, 0.375f, 0.0f);  // the middle of a 1024 x 768 window, in screen units
const Rgb red{255, 0, 0};
const Rgb black{0, 0, 0};

// A tile's emitter for a tile of scale u = 0.1 at the middle of the window.
void setUpLikeTheBoard(Emitter& emitter) {
    emitter.setDefaultTimeRanges();
    emitter.allocateParticles();
    emitter.setSize(0.05f);
    emitter.setBirthDistanceRange(0.05f);
    emitter.setSpeedRange(0.2f, 0.05f);
    emitter.setPosition(centre);
    emitter.setColour(1);
}

void drawAlone(Emitter& emitter) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    emitter.draw();
}

// The lit pixels, and those only red, within `reach` of the window's middle.
std::pair<int, int> litAndRed(const Display& display, double reach) {
    int lit = 0;
    int reds = 0;
    for (const Rgb& p : testing_support::pixelsIn(display, centre.x - reach, centre.y - reach,
                                                  centre.x + reach, centre.y + reach)) {
        lit += p != black ? 1 : 0;
        reds += p[0] > 0 && p[1] == 0 && p[2] == 0 ? 1 : 0;
    }
    return {lit, reds};
}

}  // namespace

TEST(EmitterDrawing, ABurstShowsSparksOfItsColourAroundTheEmitterUntilTheyExpire) {
    Display display;
    glBindTexture(GL_TEXTURE_2D, 7);
    Emitter emitter;
    setUpLikeTheBoard(emitter);
    // Before its first burst an emitter draws nothing, and binds nothing either.
    drawAlone(emitter);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 7);
    EXPECT_EQ(litAndRed(display, 0.375).first, 0);
    platform::seedRandom(7);
    emitter.burst();
    // Born within u/2 of the emitter, each corner a further u/2 away: all in the emitter's
    // colour, all near, drawn untextured. Half a second on they have spread (up to 0.2 a second),
    // still in its colour; at 1320 ms all are spent.
    const std::tuple<int, double, int> stages[] = {
        {0, 0.103, 100}, {15, 0.202, 0}, {25, 0.375, -1}};
    for (const auto& [frames, reach, fewest] : stages) {
        for (int frame = 0; frame < frames; ++frame) {
            emitter.update(33);
        }
        drawAlone(emitter);
        const auto [lit, reds] = litAndRed(display, 0.375);
        EXPECT_EQ(lit > 0, fewest >= 0) << frames;
        EXPECT_GT(lit, fewest) << frames;
        EXPECT_EQ(reds, lit) << frames;
        EXPECT_EQ(litAndRed(display, reach).first, lit) << frames;
    }
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(EmitterDrawing, ASparkIsACameraFacingSquareTurnedByItsAngleAndBlendedByItsAlpha) {
    Display display;
    Emitter emitter;
    setUpLikeTheBoard(emitter);
    emitter.burst();
    // Only the first spark is left, at the window's middle; its size is half the diagonal: a
    // square of half-side 0.0707, upright, or a diamond when turned an eighth of a turn.
    for (Particle& spark : emitter.particles) {
        spark.age = spark.lifeEnd + 1;
    }
    Particle& spark = emitter.particles[0];
    spark.age = 0;
    spark.position = centre;
    emitter.setSize(0.1f);
    for (float angle : {0.0f, static_cast<float>(M_PI / 4)}) {
        spark.angle = angle;
        drawAlone(emitter);
        const bool upright = angle == 0.0f;
        const std::tuple<double, double, bool> points[] = {{0.06, 0.06, upright},
                                                           {-0.06, -0.06, upright},
                                                           {0.08, 0, !upright},
                                                           {0, -0.08, !upright}};
        for (const auto& [dx, dy, lit] : points) {
            const Rgb shown = pixelAt(display, centre.x + dx, centre.y + dy);
            EXPECT_TRUE(lit ? testing_support::near(shown, red, 55) : shown == black)
                << angle << " at " << dx << ", " << dy;
        }
    }
    // Half transparent, in palette colour 6.
    spark.alpha = 0.5f;
    emitter.setColour(6);
    drawAlone(emitter);
    EXPECT_TRUE(testing_support::near(pixelAt(display, centre.x, centre.y), {0, 128, 128}));
}
