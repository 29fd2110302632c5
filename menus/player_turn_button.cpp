#include "menus/player_turn_button.h"

#include "menus/game_board.h"
#include "menus/menu.h"
#include "platform/debug_log.h"
#include "render/player_colours.h"
#include "resources/ini_file.h"

void PlayerTurnButton::setColour(std::int32_t newColour) {
    // A colour outside the palette is brought to its nearest end, so it never indexes past it.
    colourIndex =
        newColour < 0 ? 0 : (newColour >= playerColourCount ? playerColourCount - 1 : newColour);
    if (colourIndex != newColour) {
        logText("Error: PlayerTurnButton colour ");
        logInt(newColour);
        logText(" is outside 0..8, using ");
        logInt(colourIndex);
        logText("\n");
    }
    const float* rgba = playerColour(colourIndex);
    colour = {rgba[0], rgba[1], rgba[2], rgba[3]};
}

GameBoard* PlayerTurnButton::findBoard(const char* notHudMessage,
                                       const char* unknownOwnerMessage) const {
    Map* map = owningMap();
    if (map != nullptr && map->isMenu()) {
        Map* parent = static_cast<Menu*>(map)->parent;
        if (parent != nullptr && parent->isGameBoard()) {
            return static_cast<GameBoard*>(parent);
        }
        logText(notHudMessage);
        return nullptr;
    }
    if (map != nullptr && map->isGameBoard()) {
        return static_cast<GameBoard*>(map);
    }
    logText(unknownOwnerMessage);
    return nullptr;
}

void PlayerTurnButton::cycleUpdate() {
    if (GameBoard* board = findBoard("Error: PlayerTurnButton attached to non HUD menu.\n",
                                     "Error: PlayerTurnButton: Unrecognised owner type\n")) {
        enabled = board->isColourFree(colourIndex, false);
    }
}

void PlayerTurnButton::draw() {
    cycleUpdate();
    Button::draw();
}

void PlayerTurnButton::execute() {
    if (!enabled) {
        return;
    }
    GameBoard* board =
        findBoard("Error: PlayerTurnButton attached to non HUD menu. Can't execute.\n",
                  "PlayerTurnButton: cannot execute, unrecognised owner type\n");
    if (board == nullptr) {
        return;
    }
    const std::int32_t turn = board->turnPlayer;
    if (turn >= 0 && static_cast<std::size_t>(turn) < board->players.size() &&
        board->players[static_cast<std::size_t>(turn)].isHuman) {
        board->takeTurn(colourIndex);
    }
}

void PlayerTurnButton::readSection(const IniFile& ini, int section) {
    setColour(ini.getInt(section, "Colour", 0));
}
