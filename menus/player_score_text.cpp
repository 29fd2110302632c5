#include "menus/player_score_text.h"

#include <string>

#include "game/hex_grid.h"
#include "menus/board_lookup.h"
#include "menus/game_board.h"
#include "render/player_colours.h"
#include "resources/ini_file.h"

namespace {

// The table's pure blue is hard to read on the dark panels.
constexpr float lighterBlue[3] = {0.12f, 0.2f, 1.0f};

}  // namespace

void PlayerScoreText::cycleUpdate() {
    GameBoard* board = findHudBoard(*this);
    if (board == nullptr) {
        return;
    }
    const Player* record = findPlayerRecord(*board, player);
    if (record == nullptr || !record->active) {
        setText(nullptr);
        return;
    }
    setText(std::to_string(record->shownScore));

    const std::int32_t held = startPlayerColour(*record);
    const float* rgb = nullptr;
    if (held == 0 && isPlayersTurn(*board, player)) {
        rgb = PlayerColours[hex_grid::black];
    } else if (held == 3) {
        rgb = lighterBlue;
    } else if (isTableColour(held)) {
        rgb = PlayerColours[held];
    }
    // A colour the tables do not have leaves the text colour as it was.
    if (rgb != nullptr) {
        textColour[0] = rgb[0];
        textColour[1] = rgb[1];
        textColour[2] = rgb[2];
    }
}

void PlayerScoreText::draw() {
    cycleUpdate();
    TextBox::draw();
}

void PlayerScoreText::readSection(const IniFile& ini, int section) {
    player = ini.getInt(section, "Player", 0);
}
