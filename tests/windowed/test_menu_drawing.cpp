// What menus look like on a real GL: panel and button fills, the raised and sunken frames, the
// highlight, disabled widgets, captions and list rows, a textured image, buttons drawn again in a
// new window, and the in-game display's panels and scores following the board.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "engine/resource_manager.h"
#include "game/player_start.h"
#include "menus/button.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "support/gl_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

Rgb scaled(double r, double g, double b) {
    return {int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5)};
}

// How many pixels of a rectangle in screen units are near a colour.
int countNear(const Display& display, double left, double top, double right, double bottom,
              const Rgb& colour, int tolerance = 40) {
    int count = 0;
    for (const Rgb& pixel : pixelsIn(display, left, top, right, bottom))
        count += near(pixel, colour, tolerance) ? 1 : 0;
    return count;
}

// The colour of the horizontal line drawn along y, whichever pixel row it fell on.
bool lineOfColour(const Display& display, double x, double y, const Rgb& colour) {
    const double pixel = 1.0 / display.width;
    return countNear(display, x, y - 1.5 * pixel, x + pixel, y + 1.5 * pixel, colour, 8) > 0;
}

std::string section(const std::string& name, const std::string& type, double left, double right,
                    double top, double bottom, const std::string& keys) {
    return "[" + name + "]\nType = " + type + "\nLeft = " + std::to_string(left) +
           "\nRight = " + std::to_string(right) + "\nTop = " + std::to_string(top) +
           "\nBottom = " + std::to_string(bottom) + "\n" + keys;
}

}  // namespace

TEST(MenuDrawing, WidgetsLookAsTheirStatesSay) {
    makeDirectory("game");
    makeDirectory("Textures");
    writeFile("Textures/Hex.bmp", readFile(std::string(TINTFALL_DATA_DIR) + "/Textures/Hex.bmp"));
    ASSERT_EQ(chdir("game"), 0);
    auto display = std::make_unique<Display>();
    ASSERT_TRUE(display->windowOpen);
    ResourceManager resources;
    const std::string button = "colBlue = 0.8\n";
    const std::string yellow = "textColRed = 1\ntextColGreen = 1\n";
    std::string list = "itemHeight = 0.045\ncolRed = 0.1\ncolGreen = 0.1\ncolBlue = 0.1\n" +
                       yellow + "textColBlue = 1\n";
    for (int i = 0; i < 6; ++i)
        list += "item" + std::to_string(i) + " = IIIIIIII\n";
    writeFile("menu.ini",
              section("background", "Panel", 0.05, 0.95, 0.02, 0.7,
                      "colRed = 0.2\ncolGreen = 0.3\ncolBlue = 0.4\n") +
                  section("picture", "Image", 0.06, 0.2, 0.05, 0.19, "texture = Hex.bmp\n") +
                  section("caption", "TextBox", 0.25, 0.6, 0.05, 0.12, "Text = IIIIII\n" + yellow) +
                  section("raised", "QuitButton", 0.25, 0.45, 0.2, 0.28,
                          button + "text = IIII\n" + yellow) +
                  section("sunken", "QuitButton", 0.5, 0.7, 0.2, 0.28, button) +
                  section("disabled", "QuitButton", 0.75, 0.9, 0.2, 0.28, button) +
                  section("list", "ListBox", 0.25, 0.6, 0.35, 0.55, list));
    Menu menu;
    ASSERT_TRUE(menu.load("menu.ini", true));
    auto& sunken = *static_cast<Button*>(menu.getObject("sunken"));
    sunken.highlight();
    sunken.pressed = true;
    static_cast<Button*>(menu.getObject("disabled"))->enabled = false;
    static_cast<ListBox*>(menu.getObject("list"))->selected = 1;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    EXPECT_TRUE(near(pixelAt(*display, 0.5, 0.65), scaled(0.2, 0.3, 0.4)));
    // The image shows the cell texture: light grey in its middle.
    const Rgb image = pixelAt(*display, 0.13, 0.12);
    EXPECT_GT(image[0], 200);
    EXPECT_TRUE(near({image[0], image[0], image[0]}, image, 2));
    // The caption is drawn in its text colour inside its box.
    EXPECT_GT(countNear(*display, 0.25, 0.05, 0.6, 0.12, {255, 255, 0}), 40);
    // Raised: light above, dark below; its caption in the text colour on the fill.
    EXPECT_TRUE(near(pixelAt(*display, 0.35, 0.26), scaled(0, 0, 0.8)));
    EXPECT_TRUE(lineOfColour(*display, 0.35, 0.2, {255, 255, 255}));
    EXPECT_TRUE(lineOfColour(*display, 0.35, 0.28, {0, 0, 0}));
    EXPECT_GT(countNear(*display, 0.25, 0.2, 0.45, 0.28, {255, 255, 0}), 20);
    // Pressed and highlighted: sunken, and the fill pulled 15 % towards mid grey.
    EXPECT_TRUE(near(pixelAt(*display, 0.6, 0.26), scaled(0.075, 0.075, 0.8 * 0.85 + 0.075)));
    EXPECT_TRUE(lineOfColour(*display, 0.6, 0.2, {0, 0, 0}));
    EXPECT_TRUE(lineOfColour(*display, 0.6, 0.28, {255, 255, 255}));
    EXPECT_TRUE(near(pixelAt(*display, 0.82, 0.26), scaled(0.5, 0.5, 0.5)));  // disabled: grey
    // The list: background, the selected row in inverted colours, four whole rows drawn and
    // the fifth, which does not fit, left out.
    EXPECT_TRUE(near(pixelAt(*display, 0.58, 0.36), scaled(0.1, 0.1, 0.1)));
    EXPECT_TRUE(near(pixelAt(*display, 0.58, 0.35 + 0.002 + 0.045 * 1.5), scaled(0.9, 0.9, 0.9)));
    for (int row = 0; row < 4; ++row) {
        const double top = 0.35 + 0.002 + row * 0.045;
        const Rgb text = row == 1 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
        EXPECT_GT(countNear(*display, 0.25, top, 0.6, top + 0.043, text), 10) << "row " << row;
    }
    EXPECT_EQ(countNear(*display, 0.25, 0.35 + 0.002 + 4 * 0.045, 0.6, 0.549, {255, 255, 255}), 0);

    // In a window made anew, the buttons build their shapes again.
    display.reset();
    display = std::make_unique<Display>();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    EXPECT_TRUE(near(pixelAt(*display, 0.35, 0.26), scaled(0, 0, 0.8)));
    EXPECT_TRUE(lineOfColour(*display, 0.6, 0.2, {0, 0, 0}));
    EXPECT_FALSE(fileExists("debug.log")) << readFile("debug.log");
}

TEST(HudDrawing, PanelsAndScoresFollowTheBoard) {
    Display display;
    ASSERT_TRUE(display.windowOpen);
    // Player 0 (green, on turn), player 1 (blue, waiting), player 2 inactive; each a panel row
    // with a score text over its right half.
    PlayerStart starts[3];
    GameBoard board;
    board.numPlayers = 3;
    std::string hud;
    for (int i = 0; i < 3; ++i) {
        starts[i].playerColour = 2 + i;
        board.players.emplace_back();
        board.players[i].index = i;
        board.players[i].shownScore = 888;
        board.players[i].active = i != 2;
        board.players[i].startTile = &starts[i];
        const std::string n = std::to_string(i);
        hud += section("panel" + n, "PlayerPanel", 0.1, 0.9, 0.05 + 0.2 * i, 0.2 + 0.2 * i,
                       "player = " + n + "\ncolRed = 1\n") +
               section("score" + n, "PlayerScoreText", 0.5, 0.9, 0.05 + 0.2 * i, 0.2 + 0.2 * i,
                       "Player = " + n + "\n");
    }
    writeFile("hud.ini", hud);
    Menu menu;
    ASSERT_TRUE(menu.load("hud.ini", true));
    menu.parent = &board;

    // Left halves: panel colour only; right halves: the score strokes in the player's text
    // colour, the rest panel; nothing for the inactive player.
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    const Rgb panels[] = {{0, 145, 0}, {0, 0, 0}};
    const Rgb texts[] = {{0, 255, 0}, {31, 51, 255}};
    const double inset = 2.0 / display.width;
    auto all = [&](double left, double top, double right, double bottom, const Rgb& colour) {
        return countNear(display, left, top, right, bottom, colour, 0) ==
               int(pixelsIn(display, left, top, right, bottom).size());
    };
    for (int i = 0; i < 2; ++i) {
        const double top = 0.05 + 0.2 * i + inset;
        const double bottom = 0.2 + 0.2 * i - inset;
        EXPECT_TRUE(all(0.1 + inset, top, 0.5, bottom, panels[i])) << i;
        const int text = countNear(display, 0.5, top, 0.9 - inset, bottom, texts[i], 0);
        EXPECT_GT(text, 100) << i;
        EXPECT_EQ(text + countNear(display, 0.5, top, 0.9 - inset, bottom, panels[i], 0),
                  int(pixelsIn(display, 0.5, top, 0.9 - inset, bottom).size()))
            << i;
    }
    EXPECT_TRUE(all(0.1 + inset, 0.45 + inset, 0.9 - inset, 0.6 - inset, {0, 0, 255}));
    EXPECT_FALSE(fileExists("debug.log"));
}
