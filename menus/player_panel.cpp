#include "menus/player_panel.h"

#include "menus/board_lookup.h"
#include "menus/game_board.h"
#include "resources/ini_file.h"

const float PanelColours[9][4] = {
    {0.3f, 0.3f, 0.3f, 1.0f},  {0.5f, 0.0f, 0.0f, 1.0f},    {0.0f, 0.57f, 0.0f, 1.0f},
    {0.0f, 0.0f, 0.45f, 1.0f}, {0.6f, 0.6f, 0.0f, 1.0f},    {0.5f, 0.0f, 0.5f, 1.0f},
    {0.0f, 0.6f, 0.6f, 1.0f},  {0.62f, 0.62f, 0.62f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f},
};

bool PlayerPanel::refresh() {
    GameBoard* board = findHudBoard(*this);
    if (board == nullptr) {
        return false;
    }
    const Player* record = findPlayerRecord(*board, player);
    if (record == nullptr || !record->active) {
        return false;
    }
    if (isPlayersTurn(*board, player)) {
        // A colour the palette does not have leaves the panel's colour as it was.
        const std::int32_t held = startPlayerColour(*record);
        if (isTableColour(held)) {
            const float* rgba = PanelColours[held];
            colour = {rgba[0], rgba[1], rgba[2], rgba[3]};
        }
    } else {
        colour[0] = colour[1] = colour[2] = 0.0f;
    }
    return true;
}

void PlayerPanel::draw() {
    if (refresh()) {
        Panel::draw();
    }
}

void PlayerPanel::readSection(const IniFile& ini, int section) {
    player = ini.getInt(section, "player", 0);
}
