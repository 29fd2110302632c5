// Sparks drawn under a real GL context with the display's own state: where they land, their
// colour and alpha, camera-facing squares, the texture, and nothing once they are spent.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "engine/display.h"
#include "game/emitter.h"
#include "platform/random.h"
#include "resources/texture.h"
#include "support/image_files.h"
#include "support/test_support.h"

using testing_support::runConvert;
using testing_support::ScratchDirectory;

namespace {

const Vector centre(0.5f, 0.375f, 0.0f);  // middle of a 1024 x 768 window, in screen units

struct Rgb {
    int r, g, b;
};

// The whole frame, rows bottom first.
class Frame {
  public:
    explicit Frame(const Display& display)
        : width_(display.width),
          height_(display.height),
          pixels_(static_cast<std::size_t>(width_) * height_ * 4) {
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    }

    // The colour at a point in screen units (x across, y down, one unit = window width).
    Rgb at(double x, double y) const {
        return pixel(static_cast<int>(x * width_), height_ - 1 - static_cast<int>(y * width_));
    }

    // Counts the pixels that pass `test`, given their place in screen units.
    int count(const std::function<bool(double x, double y, Rgb)>& test) const {
        int found = 0;
        for (int row = 0; row < height_; ++row) {
            for (int column = 0; column < width_; ++column) {
                const double x = (column + 0.5) / width_;
                const double y = (height_ - 1 - row + 0.5) / width_;
                found += test(x, y, pixel(column, row)) ? 1 : 0;
            }
        }
        return found;
    }

    int countLit() const {
        return count([](double, double, Rgb c) { return c.r + c.g + c.b > 0; });
    }

  private:
    Rgb pixel(int column, int row) const {
        const std::size_t at = (static_cast<std::size_t>(row) * width_ + column) * 4;
        return Rgb{pixels_[at], pixels_[at + 1], pixels_[at + 2]};
    }

    int width_;
    int height_;
    std::vector<unsigned char> pixels_;
};

void clearFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A tile's emitter for a tile of scale u = 0.1 at the middle of the window.
void setUpLikeTheBoard(Emitter& emitter, int colour) {
    const float u = 0.1f;
    emitter.setDefaultTimeRanges();
    emitter.allocateParticles();
    emitter.setSize(u / 2);
    emitter.setBirthDistanceRange(u / 2);
    emitter.setSpeedRange(2 * u, u / 2);
    emitter.setPosition(centre);
    emitter.setColour(colour);
}

// Bursts, then keeps only the first spark alive, unturned, at the window's middle.
Particle& singleSpark(Emitter& emitter, float size) {
    emitter.burst();
    for (Particle& particle : emitter.particles) {
        particle.age = particle.lifeEnd + 1;
    }
    Particle& spark = emitter.particles[0];
    spark.age = 0;
    spark.position = centre;
    spark.angle = 0.0f;
    emitter.setSize(size);
    return spark;
}

bool isRed(Rgb c) {
    return c.r > 200 && c.g < 40 && c.b < 40;
}

bool isBlack(Rgb c) {
    return c.r + c.g + c.b == 0;
}

GLint boundTexture() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

}  // namespace

TEST(EmitterDrawing, ABurstShowsSparksOfItsColourAroundTheEmitterUntilTheyExpire) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    Emitter emitter;
    setUpLikeTheBoard(emitter, 1);
    platform::seedRandom(7);
    emitter.burst();

    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    clearFrame();
    emitter.draw();
    EXPECT_EQ(boundTexture(), 0);  // no texture: drawn untextured
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Born within u/2 of the emitter, each corner a further u/2 away.
    const double reach = 0.05 + 0.05 + 0.003;
    Frame first(display);
    const int red = first.count([](double, double, Rgb c) { return isRed(c); });
    EXPECT_GT(red, 100);
    EXPECT_EQ(red, first.countLit());
    EXPECT_EQ(first.count([&](double x, double y, Rgb c) {
        return !isBlack(c) && std::hypot(x - centre.x, y - centre.y) > reach;
    }),
              0);

    // Half a second on the sparks have spread, still all in the emitter's colour.
    for (int frame = 0; frame < 15; ++frame) {
        emitter.update(33);
    }
    clearFrame();
    emitter.draw();
    Frame later(display);
    const double spread = reach + 0.2 * 0.495;
    EXPECT_GT(later.countLit(), 0);
    EXPECT_EQ(later.count([&](double x, double y, Rgb c) {
        return !isBlack(c) &&
               (c.g > 0 || c.b > 0 || std::hypot(x - centre.x, y - centre.y) > spread);
    }),
              0);

    for (int frame = 0; frame < 25; ++frame) {  // 1320 ms in all
        emitter.update(33);
    }
    EXPECT_EQ(emitter.drawnCount(), 0);
    clearFrame();
    emitter.draw();
    EXPECT_EQ(Frame(display).countLit(), 0);
    glDeleteTextures(1, &other);
}

TEST(EmitterDrawing, ASparkIsLastDrawnAtItsLifeEnd) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    Emitter emitter;
    setUpLikeTheBoard(emitter, 1);
    Particle& spark = singleSpark(emitter, 0.05f);
    spark.fadeStart = 250;
    spark.lifeEnd = 950;
    spark.age = 891;
    emitter.update(33);
    ASSERT_EQ(spark.age, 924);
    clearFrame();
    emitter.draw();
    EXPECT_GT(Frame(display).countLit(), 0);

    emitter.update(33);
    clearFrame();
    emitter.draw();
    EXPECT_EQ(Frame(display).countLit(), 0);
}

TEST(EmitterDrawing, SparksFaceTheCameraAndTurnByTheirAngle) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    Emitter emitter;
    setUpLikeTheBoard(emitter, 1);
    // Size is half the diagonal: a square of half-side 0.0707.
    Particle& spark = singleSpark(emitter, 0.1f);

    clearFrame();
    emitter.draw();
    Frame upright(display);
    EXPECT_TRUE(isRed(upright.at(centre.x + 0.06, centre.y + 0.06)));
    EXPECT_TRUE(isRed(upright.at(centre.x - 0.06, centre.y - 0.06)));
    EXPECT_TRUE(isBlack(upright.at(centre.x + 0.08, centre.y)));
    EXPECT_TRUE(isBlack(upright.at(centre.x, centre.y - 0.08)));

    // The view turned 45 degrees about the spark: the square still faces the camera.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(centre.x, centre.y, 0.0f);
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-centre.x, -centre.y, 0.0f);
    clearFrame();
    emitter.draw();
    glPopMatrix();
    Frame turnedView(display);
    EXPECT_TRUE(isRed(turnedView.at(centre.x + 0.06, centre.y + 0.06)));
    EXPECT_TRUE(isBlack(turnedView.at(centre.x + 0.08, centre.y)));

    // A spark turned an eighth of a turn is a diamond.
    spark.angle = static_cast<float>(M_PI / 4);
    clearFrame();
    emitter.draw();
    Frame diamond(display);
    EXPECT_TRUE(isRed(diamond.at(centre.x + 0.08, centre.y)));
    EXPECT_TRUE(isRed(diamond.at(centre.x, centre.y - 0.08)));
    EXPECT_TRUE(isBlack(diamond.at(centre.x + 0.06, centre.y + 0.06)));
}

TEST(EmitterDrawing, AlphaAndPaletteColourOfEverySpark) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    Emitter emitter;
    setUpLikeTheBoard(emitter, 6);
    Particle& spark = singleSpark(emitter, 0.05f);
    spark.alpha = 0.5f;
    clearFrame();
    emitter.draw();
    const Rgb half = Frame(display).at(centre.x, centre.y);
    EXPECT_EQ(half.r, 0);
    EXPECT_NEAR(half.g, 128, 2);
    EXPECT_NEAR(half.b, 128, 2);

    // Colours outside the palette fall back to its first row (grey) rather than reading past it.
    spark.alpha = 1.0f;
    for (int colour : {9, 42, -1}) {
        emitter.setColour(colour);
        clearFrame();
        emitter.draw();
        const Rgb grey = Frame(display).at(centre.x, centre.y);
        EXPECT_NEAR(grey.r, 128, 2) << colour;
        EXPECT_EQ(grey.r, grey.g);
        EXPECT_EQ(grey.g, grey.b);
    }
    emitter.setColour(8);
    clearFrame();
    emitter.draw();
    EXPECT_NEAR(Frame(display).at(centre.x, centre.y).r, 51, 2);
}

TEST(EmitterDrawing, TheSparkTextureIsBoundAndRunsAcrossTheSquare) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    // Left half white, right half black.
    ASSERT_TRUE(
        runConvert("-size 16x16 xc:white -fill black -draw \"rectangle 8,0 15,15\" "
                   "BMP3:spark.bmp"));
    Texture texture;
    ASSERT_TRUE(texture.loadFromFile("spark.bmp"));
    Emitter emitter;
    setUpLikeTheBoard(emitter, 1);
    emitter.setTexture(&texture);
    singleSpark(emitter, 0.1f);

    glBindTexture(GL_TEXTURE_2D, 0);
    clearFrame();
    emitter.draw();
    EXPECT_EQ(boundTexture(), static_cast<GLint>(texture.glName()));
    Frame frame(display);
    EXPECT_TRUE(isRed(frame.at(centre.x - 0.035, centre.y)));
    EXPECT_TRUE(isBlack(frame.at(centre.x + 0.035, centre.y)));
    EXPECT_TRUE(isRed(frame.at(centre.x - 0.035, centre.y - 0.05)));
    EXPECT_TRUE(isRed(frame.at(centre.x - 0.035, centre.y + 0.05)));
}

TEST(EmitterDrawing, EmittersThatNeverBurstDrawNothing) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);

    Emitter unallocated;
    unallocated.setColour(1);
    unallocated.setPosition(centre);
    unallocated.setSize(0.1f);
    Emitter fresh;
    setUpLikeTheBoard(fresh, 1);
    fresh.setPosition(Vector(0, 0, 0));  // fresh sparks sit at the origin, in sight

    clearFrame();
    unallocated.update(33);
    unallocated.draw();
    fresh.draw();
    fresh.update(33);
    fresh.draw();
    EXPECT_EQ(Frame(display).countLit(), 0);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(other));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &other);
}
