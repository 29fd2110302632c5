// The in-game display drawn on a real GL: player panels in the dark palette while their player
// is to move and black otherwise, score texts in their players' colours inside their boxes, and
// nothing at all for an inactive player.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/display.h"
#include "game/player_start.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "support/test_support.h"

using testing_support::fileExists;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

using Rgb = std::array<int, 3>;

// Every pixel of a rectangle given in screen units, read from the back buffer.
std::vector<Rgb> pixelsIn(const Display& display, double left, double top, double right,
                          double bottom) {
    const int x0 = static_cast<int>(left * display.width) + 1;
    const int x1 = static_cast<int>(right * display.width) - 1;
    const int y0 = display.height - static_cast<int>(bottom * display.width) + 1;
    const int y1 = display.height - static_cast<int>(top * display.width) - 1;
    std::vector<unsigned char> rgba(static_cast<std::size_t>((x1 - x0) * (y1 - y0) * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<Rgb> pixels;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        pixels.push_back({rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    return pixels;
}

int countOf(const std::vector<Rgb>& pixels, const Rgb& colour) {
    int count = 0;
    for (const Rgb& p : pixels) {
        count += p == colour ? 1 : 0;
    }
    return count;
}

const Rgb background = {0, 0, 255};

}  // namespace

TEST(HudDrawing, PanelsAndScoresFollowTheBoard) {
    ScratchDirectory scratch;
    Display display;
    ASSERT_TRUE(display.windowOpen);

    // Player 0 (green, on turn), player 1 (blue, waiting), player 2 inactive.
    std::vector<std::unique_ptr<PlayerStart>> starts;
    GameBoard board;
    board.numPlayers = 3;
    const std::int32_t colours[] = {2, 3, 5};
    for (int i = 0; i < 3; ++i) {
        starts.push_back(std::make_unique<PlayerStart>());
        starts.back()->playerColour = colours[i];
        Player record;
        record.index = i;
        record.shownScore = 888;
        record.active = i != 2;
        record.startTile = starts.back().get();
        board.players.push_back(std::move(record));
    }

    // Each player: a panel row with a score text over its right half.
    std::string hud;
    for (int i = 0; i < 3; ++i) {
        const std::string top = std::to_string(0.05 + 0.2 * i);
        const std::string bottom = std::to_string(0.2 + 0.2 * i);
        const std::string number = std::to_string(i);
        hud += "[panel" + number + "]\nType = PlayerPanel\nplayer = " + number +
               "\ncolRed = 1\nLeft = 0.1\nRight = 0.9\nTop = " + top + "\nBottom = " + bottom +
               "\n";
        hud += "[score" + number + "]\nType = PlayerScoreText\nPlayer = " + number +
               "\nLeft = 0.5\nRight = 0.9\nTop = " + top + "\nBottom = " + bottom + "\n";
    }
    writeFile("hud.ini", hud);
    Menu menu;
    ASSERT_TRUE(menu.load("hud.ini", true));
    menu.parent = &board;

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Left halves: panel colour only.
    const auto green = pixelsIn(display, 0.1, 0.05, 0.5, 0.2);
    EXPECT_EQ(countOf(green, {0, 145, 0}), static_cast<int>(green.size()));
    const auto waiting = pixelsIn(display, 0.1, 0.25, 0.5, 0.4);
    EXPECT_EQ(countOf(waiting, {0, 0, 0}), static_cast<int>(waiting.size()));
    const auto inactive = pixelsIn(display, 0.1, 0.45, 0.9, 0.6);
    EXPECT_EQ(countOf(inactive, background), static_cast<int>(inactive.size()));

    // Right halves: the score strokes in the player's text colour, the rest panel.
    const auto greenScore = pixelsIn(display, 0.5, 0.05, 0.9, 0.2);
    const int greenText = countOf(greenScore, {0, 255, 0});
    EXPECT_GT(greenText, 100);
    EXPECT_EQ(greenText + countOf(greenScore, {0, 145, 0}), static_cast<int>(greenScore.size()));
    const auto blueScore = pixelsIn(display, 0.5, 0.25, 0.9, 0.4);
    const int blueText = countOf(blueScore, {31, 51, 255});
    EXPECT_GT(blueText, 100);
    EXPECT_EQ(blueText + countOf(blueScore, {0, 0, 0}), static_cast<int>(blueScore.size()));

    // The turn passes: the panels swap their looks on the next frame.
    board.turnPlayer = 1;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    EXPECT_EQ(countOf(pixelsIn(display, 0.1, 0.05, 0.5, 0.2), {0, 0, 0}),
              static_cast<int>(green.size()));
    EXPECT_EQ(countOf(pixelsIn(display, 0.1, 0.25, 0.5, 0.4), {0, 0, 115}),
              static_cast<int>(waiting.size()));
    EXPECT_FALSE(fileExists("debug.log"));
}
