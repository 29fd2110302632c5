#include "menus/colour_symbols.h"

#include <GL/gl.h>

#include "game/board.h"
#include "game/player_start.h"
#include "menus/menu.h"
#include "menus/player_turn_button.h"
#include "render/player_colours.h"
#include "resources/type_ids.h"

namespace {

// The segments of a seven-segment digit, as bits: top, top right, bottom right, bottom,
// bottom left, top left, middle. 1 and 7 are drawn their own way (below), so they never look
// alike.
constexpr unsigned top = 1, topRight = 2, bottomRight = 4, bottom = 8, bottomLeft = 16,
                   topLeft = 32, middle = 64;
constexpr unsigned segmentsOf[8] = {
    0,
    0,  // 1: a stem with a flag
    top | topRight | middle | bottomLeft | bottom,
    top | topRight | middle | bottomRight | bottom,
    topLeft | middle | topRight | bottomRight,
    top | topLeft | middle | bottomRight | bottom,
    top | topLeft | middle | bottomLeft | bottom | bottomRight,
    0,  // 7: a top and a slanted stem
};

void line(double x0, double y0, double x1, double y1) {
    glVertex2d(x0, y0);
    glVertex2d(x1, y1);
}

}  // namespace

void addColourSymbol(std::int32_t colour, const float* fill, double x, double y, double height) {
    if (colour < 1 || colour > 7) {
        return;
    }
    const float brightness = 0.299f * fill[0] + 0.587f * fill[1] + 0.114f * fill[2];
    const float shade = brightness > 0.45f ? 0.0f : 1.0f;
    glColor4f(shade, shade, shade, 1.0f);
    const double w = height * 0.55;
    const double left = x - w / 2;
    const double right = x + w / 2;
    const double upper = y - height / 2;
    const double mid = y;
    const double lower = y + height / 2;
    if (colour == 1) {
        line(x, upper, x, lower);
        line(x - w / 3, upper + height / 5, x, upper);
        return;
    }
    if (colour == 7) {
        line(left, upper, right, upper);
        line(right, upper, x - w / 8, lower);
        return;
    }
    // Each segment from one corner or side point to another: (x, y) as 0 left / 1 right and
    // 0 upper / 1 middle / 2 lower.
    static const int ends[7][4] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 1, 2}, {0, 2, 1, 2},
                                   {0, 1, 0, 2}, {0, 0, 0, 1}, {0, 1, 1, 1}};
    const double xs[2] = {left, right};
    const double ys[3] = {upper, mid, lower};
    for (int segment = 0; segment < 7; ++segment) {
        if ((segmentsOf[colour] & (1u << segment)) != 0) {
            const int* e = ends[segment];
            line(xs[e[0]], ys[e[1]], xs[e[2]], ys[e[3]]);
        }
    }
}

void drawCellSymbols(const Board& board) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (const Tile* tile : board.tiles()) {
        const std::int32_t colour = tile->getTypeId() == TypeId::playerStart
                                        ? static_cast<const PlayerStart*>(tile)->playerColour
                                        : tile->colour;
        // A cell is s wide, and its scale is s / 2.
        addColourSymbol(colour, playerColour(colour), tile->position.x, tile->position.y,
                        tile->uniformScale * 0.9);
    }
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
}

void drawButtonSymbols(const Menu& menu) {
    static const float grey[3] = {0.5f, 0.5f, 0.5f};
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.5f);
    glBegin(GL_LINES);
    for (int i = 0; i < menu.objectCount(); ++i) {
        const StoredObject* object = menu.objectAt(i);
        if (object->getTypeId() != TypeId::playerTurnButton) {
            continue;
        }
        const auto& button = *static_cast<const PlayerTurnButton*>(object);
        addColourSymbol(button.colourIndex, button.enabled ? button.colour.data() : grey,
                        (button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2,
                        (button.Bottom - button.Top) * 0.55);
    }
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
}
