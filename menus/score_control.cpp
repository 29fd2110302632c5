#include "menus/score_control.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "menus/board_lookup.h"
#include "menus/game_board.h"
#include "menus/panel.h"
#include "menus/player_score_text.h"
#include "render/player_colours.h"
#include "resources/type_ids.h"

namespace {

struct Standing {
    std::int32_t player;
    std::int32_t score;
    std::int32_t tileColour;
};

}  // namespace

void ScoreControl::postLoad() {
    GameBoard* board = findHudBoard(*this);
    if (board == nullptr) {
        return;
    }
    std::vector<Standing> standings;
    const int records = boardRecordCount(*board);
    for (int i = 0; i < records; ++i) {
        const Player& record = board->players[static_cast<std::size_t>(i)];
        if (record.active) {
            standings.push_back({record.index, record.shownScore, startTileColour(record)});
        }
    }
    std::stable_sort(standings.begin(), standings.end(),
                     [](const Standing& a, const Standing& b) { return a.score > b.score; });
    const int n = static_cast<int>(standings.size());

    Map* map = owningMap();
    std::array<TextBox*, rowCount> labels{};
    std::array<PlayerScoreText*, rowCount> scores{};
    for (int k = 0; k < rowCount; ++k) {
        const std::string number = std::to_string(k + 1);
        labels[k] = findPartnerAs<TextBox>(map, "text" + number, TypeId::textBox);
        scores[k] = findPartnerAs<PlayerScoreText>(map, "score" + number, TypeId::playerScoreText);
    }

    // Fewer players: the panels lose a row at the bottom, and with two or fewer one at the top
    // as well, where the rows used are the middle ones.
    Panel* panels[2] = {findPartnerAs<Panel>(map, "panel1", TypeId::panel),
                        findPartnerAs<Panel>(map, "panel2", TypeId::panel)};
    if (n < rowCount && labels[0] != nullptr && labels[1] != nullptr && panels[0] != nullptr &&
        panels[1] != nullptr) {
        const double pitch = labels[1]->Top - labels[0]->Top;
        for (Panel* panel : panels) {
            panel->Bottom -= pitch;
            if (n <= 2) {
                panel->Top += pitch;
            }
        }
    }

    // Centred for up to three players; with more than four only the best four fit.
    const int first = std::max(0, (rowCount - n) / 2);
    for (int row = 0; row < rowCount; ++row) {
        const int j = row - first;
        if (j < 0 || j >= n) {
            // A row without a player would otherwise show its placeholder or repeat a score.
            if (labels[row] != nullptr) {
                labels[row]->setText("");
            }
            if (scores[row] != nullptr) {
                scores[row]->visible = false;
            }
            continue;
        }
        const Standing& standing = standings[static_cast<std::size_t>(j)];
        if (scores[row] != nullptr) {
            scores[row]->player = standing.player;
        }
        TextBox* label = labels[row];
        if (label == nullptr) {
            continue;
        }
        if (isTableColour(standing.tileColour)) {
            const float* rgb = PlayerColours[standing.tileColour];
            label->textColour[0] = rgb[0];
            label->textColour[1] = rgb[1];
            label->textColour[2] = rgb[2];
        }
        const auto higher =
            std::count_if(standings.begin(), standings.end(),
                          [&](const Standing& other) { return other.score > standing.score; });
        const long rank = 1 + static_cast<long>(higher);
        label->setText(std::to_string(rank));
        if (rank == 1) {
            label->Left += winnerShift;
        }
    }
}
