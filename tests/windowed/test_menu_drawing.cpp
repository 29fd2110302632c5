// What menus look like on a real GL: panel and button fills, the raised and sunken frames, the
// highlight, disabled widgets, captions and list rows, and a textured image.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <memory>
#include <string>

#include "engine/display.h"
#include "engine/resource_manager.h"
#include "menus/button.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "support/test_support.h"

using testing_support::makeDirectory;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

using Rgb = std::array<int, 3>;

// The pixel at (x, y) in screen units.
Rgb pixelAt(const Display& display, double x, double y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    const int px = static_cast<int>(x * display.width);
    const int py = display.height - 1 - static_cast<int>(y * display.width);
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

bool near(const Rgb& a, const Rgb& b, int tolerance = 3) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[static_cast<std::size_t>(i)] - b[static_cast<std::size_t>(i)]) > tolerance) {
            return false;
        }
    }
    return true;
}

Rgb scaled(double r, double g, double b) {
    return {static_cast<int>(r * 255 + 0.5), static_cast<int>(g * 255 + 0.5),
            static_cast<int>(b * 255 + 0.5)};
}

// Counts the pixels of one colour inside a rectangle given in screen units.
int countColour(const Display& display, double left, double top, double right, double bottom,
                const Rgb& colour) {
    const int x0 = static_cast<int>(left * display.width);
    const int x1 = static_cast<int>(right * display.width);
    const int y0 = display.height - static_cast<int>(bottom * display.width);
    const int y1 = display.height - static_cast<int>(top * display.width);
    const int w = x1 - x0;
    const int h = y1 - y0;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w * h * 4));
    glReadPixels(x0, y0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        count += near({pixels[i], pixels[i + 1], pixels[i + 2]}, colour, 40) ? 1 : 0;
    }
    return count;
}

// The colour of the horizontal line drawn along y, whichever pixel row it fell on.
bool lineOfColour(const Display& display, double x, double y, const Rgb& colour) {
    for (int offset = -1; offset <= 1; ++offset) {
        if (near(pixelAt(display, x, y + offset / static_cast<double>(display.width)), colour, 8)) {
            return true;
        }
    }
    return false;
}

const char* const menuText = R"([background]
Type = Panel
Left = 0.05
Right = 0.95
Top = 0.02
Bottom = 0.7
colRed = 0.2
colGreen = 0.3
colBlue = 0.4
[picture]
Type = Image
texture = Hex.bmp
Left = 0.06
Right = 0.2
Top = 0.05
Bottom = 0.19
[caption]
Type = TextBox
Text = "IIIIII"
Left = 0.25
Right = 0.6
Top = 0.05
Bottom = 0.12
textColRed = 1
textColGreen = 1
textColBlue = 0
[raised]
Type = QuitButton
text = "IIII"
Left = 0.25
Right = 0.45
Top = 0.2
Bottom = 0.28
colBlue = 0.8
textColRed = 1
textColGreen = 1
[sunken]
Type = QuitButton
Left = 0.5
Right = 0.7
Top = 0.2
Bottom = 0.28
colBlue = 0.8
[disabled]
Type = QuitButton
Left = 0.75
Right = 0.9
Top = 0.2
Bottom = 0.28
colBlue = 0.8
[list]
Type = ListBox
Left = 0.25
Right = 0.6
Top = 0.35
Bottom = 0.55
itemHeight = 0.045
colRed = 0.1
colGreen = 0.1
colBlue = 0.1
textColRed = 1
textColGreen = 1
textColBlue = 1
item0 = "IIIIIIII"
item1 = "IIIIIIII"
item2 = "IIIIIIII"
item3 = "IIIIIIII"
item4 = "IIIIIIII"
item5 = "IIIIIIII"
)";

}  // namespace

TEST(MenuDrawing, WidgetsLookAsTheirStatesSay) {
    ScratchDirectory scratch;
    makeDirectory("game");
    makeDirectory("Textures");
    writeFile("Textures/Hex.bmp", readFile(std::string(TINTFALL_DATA_DIR) + "/Textures/Hex.bmp"));
    ASSERT_EQ(chdir("game"), 0);
    Display display;
    ASSERT_TRUE(display.windowOpen);
    ResourceManager resources;
    writeFile("menu.ini", menuText);
    Menu menu;
    ASSERT_TRUE(menu.load("menu.ini", true));

    auto& sunken = *static_cast<Button*>(menu.getObject("sunken"));
    sunken.highlight();
    sunken.pressed = true;
    auto& disabled = *static_cast<Button*>(menu.getObject("disabled"));
    disabled.enabled = false;
    static_cast<ListBox*>(menu.getObject("list"))->selected = 1;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    glFinish();

    EXPECT_TRUE(near(pixelAt(display, 0.5, 0.65), scaled(0.2, 0.3, 0.4)));
    // The image shows the cell texture: light grey in its middle.
    const Rgb image = pixelAt(display, 0.13, 0.12);
    EXPECT_GT(image[0], 200);
    EXPECT_TRUE(near({image[0], image[0], image[0]}, image, 2));
    // The caption is drawn in its text colour inside its box.
    EXPECT_GT(countColour(display, 0.25, 0.05, 0.6, 0.12, {255, 255, 0}), 40);

    // Raised: light above, dark below; its caption in the text colour on the fill.
    EXPECT_TRUE(near(pixelAt(display, 0.35, 0.26), scaled(0, 0, 0.8)));
    EXPECT_TRUE(lineOfColour(display, 0.35, 0.2, {255, 255, 255}));
    EXPECT_TRUE(lineOfColour(display, 0.35, 0.28, {0, 0, 0}));
    EXPECT_GT(countColour(display, 0.25, 0.2, 0.45, 0.28, {255, 255, 0}), 20);
    // Pressed and highlighted: sunken, and the fill pulled 15 % towards mid grey.
    EXPECT_TRUE(near(pixelAt(display, 0.6, 0.26), scaled(0.075, 0.075, 0.8 * 0.85 + 0.075)));
    EXPECT_TRUE(lineOfColour(display, 0.6, 0.2, {0, 0, 0}));
    EXPECT_TRUE(lineOfColour(display, 0.6, 0.28, {255, 255, 255}));
    // Disabled: grey.
    EXPECT_TRUE(near(pixelAt(display, 0.82, 0.26), scaled(0.5, 0.5, 0.5)));

    // The list: background, the selected row in inverted colours, four whole rows drawn and
    // the fifth, which does not fit, left out.
    EXPECT_TRUE(near(pixelAt(display, 0.58, 0.36), scaled(0.1, 0.1, 0.1)));
    EXPECT_TRUE(near(pixelAt(display, 0.58, 0.35 + 0.002 + 0.045 * 1.5), scaled(0.9, 0.9, 0.9)));
    for (int row = 0; row < 4; ++row) {
        const double top = 0.35 + 0.002 + row * 0.045;
        const Rgb text = row == 1 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
        EXPECT_GT(countColour(display, 0.25, top, 0.6, top + 0.043, text), 10) << "row " << row;
    }
    EXPECT_EQ(countColour(display, 0.25, 0.35 + 0.002 + 4 * 0.045, 0.6, 0.549, {255, 255, 255}), 0);
    EXPECT_FALSE(testing_support::fileExists("debug.log")) << readFile("debug.log");
}
