// Sparks drawn under a real GL context with the display's own state: where they land, their
// colour and alpha, camera-facing squares, the texture, and nothing once they are spent.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "engine/display.h"
#include "game/emitter.h"
#include "platform/random.h"
#include "resources/texture.h"
#include "support/gl_pixels.h"
#include "support/image_files.h"

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

GLint boundTexture() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

}  // namespace

TEST(EmitterDrawing, ABurstShowsSparksOfItsColourAroundTheEmitterUntilTheyExpire) {
    Display display;
    ASSERT_TRUE(display.windowOpen);
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    Emitter emitter;
    setUpLikeTheBoard(emitter);
    // Before its first burst an emitter draws nothing, and binds nothing either.
    drawAlone(emitter);
    EXPECT_EQ(litAndRed(display, 0.375).first, 0);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(other));

    platform::seedRandom(7);
    emitter.burst();
    drawAlone(emitter);
    EXPECT_EQ(boundTexture(), 0);  // no texture: drawn untextured
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Born within u/2 of the emitter, each corner a further u/2 away: all red, all near.
    const auto [lit, reds] = litAndRed(display, 0.375);
    EXPECT_GT(lit, 100);
    EXPECT_EQ(reds, lit);
    EXPECT_EQ(litAndRed(display, 0.103).first, lit);

    // Half a second on the sparks have spread, still all in the emitter's colour.
    for (int frame = 0; frame < 15; ++frame) {
        emitter.update(33);
    }
    drawAlone(emitter);
    const auto [litLater, redsLater] = litAndRed(display, 0.375);
    EXPECT_GT(litLater, 0);
    EXPECT_EQ(redsLater, litLater);
    EXPECT_EQ(litAndRed(display, 0.103 + 0.2 * 0.495).first, litLater);

    for (int frame = 0; frame < 25; ++frame) {  // 1320 ms in all
        emitter.update(33);
    }
    drawAlone(emitter);
    EXPECT_EQ(litAndRed(display, 0.375).first, 0);
    glDeleteTextures(1, &other);
}

TEST(EmitterDrawing, ASparkIsACameraFacingSquareTurnedByItsAngle) {
    Display display;
    ASSERT_TRUE(display.windowOpen);
    ASSERT_TRUE(testing_support::runConvert(
        "-size 16x16 xc:white -fill black -draw \"rectangle 8,0 15,15\" BMP3:spark.bmp"));
    Texture texture;  // left half white, right half black
    ASSERT_TRUE(texture.loadFromFile("spark.bmp"));
    Emitter emitter;
    setUpLikeTheBoard(emitter);
    emitter.burst();
    // Only the first spark is left, unturned, at the window's middle; its size is half the
    // diagonal: a square of half-side 0.0707.
    for (Particle& spark : emitter.particles) {
        spark.age = spark.lifeEnd + 1;
    }
    Particle& spark = emitter.particles[0];
    spark.age = 0;
    spark.position = centre;
    spark.angle = 0.0f;
    emitter.setSize(0.1f);
    auto expectAt = [&](double dx, double dy, const Rgb& colour, const char* what) {
        const Rgb shown = pixelAt(display, centre.x + dx, centre.y + dy);
        EXPECT_TRUE(testing_support::near(shown, colour, colour == black ? 0 : 55)) << what;
    };
    drawAlone(emitter);
    expectAt(0.06, 0.06, red, "upright");
    expectAt(-0.06, -0.06, red, "upright");
    expectAt(0.08, 0, black, "upright");
    expectAt(0, -0.08, black, "upright");

    // The view turned 45 degrees about the spark: the square still faces the camera.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(centre.x, centre.y, 0.0f);
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-centre.x, -centre.y, 0.0f);
    drawAlone(emitter);
    glPopMatrix();
    expectAt(0.06, 0.06, red, "turned view");
    expectAt(0.08, 0, black, "turned view");

    // A spark turned an eighth of a turn is a diamond.
    spark.angle = static_cast<float>(M_PI / 4);
    drawAlone(emitter);
    expectAt(0.08, 0, red, "diamond");
    expectAt(0, -0.08, red, "diamond");
    expectAt(0.06, 0.06, black, "diamond");

    // Half transparent, in palette colour 6; then with the texture, which runs across it.
    spark.angle = 0.0f;
    spark.alpha = 0.5f;
    emitter.setColour(6);
    drawAlone(emitter);
    EXPECT_TRUE(testing_support::near(pixelAt(display, centre.x, centre.y), {0, 128, 128}));
    spark.alpha = 1.0f;
    emitter.setColour(1);
    emitter.setTexture(&texture);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawAlone(emitter);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(texture.glName()));
    for (double dy : {-0.05, 0.0, 0.05}) {
        expectAt(-0.035, dy, red, "textured, left");
    }
    expectAt(0.035, 0, black, "textured, right");
}
