#include "menus/territory_chart.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "game/game_record.h"
#include "menus/board_lookup.h"
#include "menus/game_board.h"
#include "platform/debug_log.h"
#include "render/player_colours.h"
#include "render/stroke_text.h"

namespace {

// Pure blue is hard to see on the score screen's dark blue; the score texts use this one too.
constexpr float lighterBlue[3] = {0.12f, 0.2f, 1.0f};

}  // namespace

void TerritoryChart::postLoad() {
    lines_.clear();
    moves_ = 0;
    most_ = 0;
    GameBoard* board = findHudBoard(*this);
    if (board == nullptr || board->startPosition() == nullptr) {
        return;
    }
    const auto rows = scoresAfterEachMove(*board->startPosition(), board->moveHistory);
    if (rows.size() != board->moveHistory.size() + 1) {
        logText("TerritoryChart: the game's moves do not play again from its start\n");
    }
    moves_ = static_cast<std::int32_t>(rows.size()) - 1;
    const int records = boardRecordCount(*board);
    for (int slot = 0; slot < records; ++slot) {
        const Player& record = board->players[static_cast<std::size_t>(slot)];
        if (!record.active) {
            continue;
        }
        Line line{startPlayerColour(record), {}};
        for (const auto& row : rows) {
            const std::int32_t cells = static_cast<std::size_t>(slot) < row.size() ? row[slot] : 0;
            line.cells.push_back(cells);
            most_ = std::max(most_, cells);
        }
        lines_.push_back(std::move(line));
    }
}

double TerritoryChart::labelHeight() const {
    return std::max(0.0, std::min(0.02, (Bottom - Top) / 8.0));
}

TerritoryChart::Area TerritoryChart::plotArea() const {
    const double h = labelHeight();
    // The left column holds the counts, right-aligned; the row below the lines the moves.
    const double column =
        std::max(strokeTextWidth(std::to_string(most_), h), strokeTextWidth("0", h)) + 0.006;
    return {Left + column, Top + h / 2, Right - 0.004, Bottom - 1.5 * h - 0.008};
}

std::vector<PlacedText> TerritoryChart::placedTexts() const {
    const double h = labelHeight();
    const Area plot = plotArea();
    auto rightAligned = [&](const std::string& text, double right, double baseline) {
        return PlacedText{text,  right - strokeTextWidth(text, h), baseline, h, Left, Top, Right,
                          Bottom};
    };
    const std::string moves = std::to_string(moves_) + (moves_ == 1 ? " move" : " moves");
    return {rightAligned(std::to_string(most_), plot.left - 0.006, plot.top + h / 2),
            rightAligned("0", plot.left - 0.006, plot.bottom + h / 2),
            rightAligned(moves, plot.right, Bottom)};
}

void TerritoryChart::draw() {
    const Area plot = plotArea();
    glDisable(GL_TEXTURE_2D);
    // Axes, and faint lines at each quarter of the largest territory.
    glColor4f(textColour[0], textColour[1], textColour[2], 0.25f);
    glBegin(GL_LINES);
    for (int quarter = 1; quarter <= 4; ++quarter) {
        const double y = plot.bottom - (plot.bottom - plot.top) * quarter / 4.0;
        glVertex2d(plot.left, y);
        glVertex2d(plot.right, y);
    }
    glEnd();
    glColor4f(textColour[0], textColour[1], textColour[2], 0.8f);
    glBegin(GL_LINE_STRIP);
    glVertex2d(plot.left, plot.top);
    glVertex2d(plot.left, plot.bottom);
    glVertex2d(plot.right, plot.bottom);
    glEnd();

    if (moves_ > 0 && most_ > 0) {
        glLineWidth(2.0f);
        for (const Line& line : lines_) {
            const float* rgb = line.colour == 3 ? lighterBlue : playerColour(line.colour);
            glColor4f(rgb[0], rgb[1], rgb[2], 1.0f);
            glBegin(GL_LINE_STRIP);
            for (std::size_t move = 0; move < line.cells.size(); ++move) {
                glVertex2d(
                    plot.left + (plot.right - plot.left) * static_cast<double>(move) / moves_,
                    plot.bottom - (plot.bottom - plot.top) * line.cells[move] / most_);
            }
            glEnd();
        }
        glLineWidth(1.0f);
    }

    glColor4f(textColour[0], textColour[1], textColour[2], 1.0f);
    for (const PlacedText& text : placedTexts()) {
        drawStrokeText(text.text, text.x, text.baseline, text.h);
    }
    glEnable(GL_TEXTURE_2D);
}
