#include "menus/game_buttons.h"

#include "menus/game_board.h"
#include "menus/menu.h"
#include "menus/player_turn_button.h"
#include "platform/platform.h"
#include "resources/ini_file.h"
#include "resources/map.h"
#include "resources/type_ids.h"

namespace {

// The board behind a widget, without a word in the log: these buttons also work on a menu
// shown outside a game, where they simply stay grey.
GameBoard* quietBoard(const HudObject& widget) {
    Map* map = widget.owningMap();
    if (map != nullptr && map->isMenu()) {
        Map* parent = static_cast<Menu*>(map)->parent;
        return parent != nullptr && parent->isGameBoard() ? static_cast<GameBoard*>(parent)
                                                          : nullptr;
    }
    return map != nullptr && map->isGameBoard() ? static_cast<GameBoard*>(map) : nullptr;
}

void outline(double left, double top, double right, double bottom) {
    glBegin(GL_LINE_LOOP);
    glVertex2d(left, top);
    glVertex2d(left, bottom);
    glVertex2d(right, bottom);
    glVertex2d(right, top);
    glEnd();
}

}  // namespace

void HintButton::readSection(const IniFile& ini, int section) {
    text = ini.getString(section, "text", "");
}

void HintButton::draw() {
    GameBoard* board = quietBoard(*this);
    enabled = board != nullptr && board->humanToMove();
    Button::draw();
}

void HintButton::postDraw() {
    GameBoard* board = quietBoard(*this);
    const std::int32_t colour = board != nullptr ? board->hintedColour() : 0;
    Map* map = owningMap();
    if (colour <= 0 || map == nullptr) {
        return;
    }
    // A white and a black frame, swapping four times a second: seen on any colour.
    const bool phase = (platform::milliseconds() / 250) % 2 == 0;
    glDisable(GL_TEXTURE_2D);
    glLineWidth(3.0f);
    for (int i = 0; i < map->objectCount(); ++i) {
        StoredObject* object = map->objectAt(i);
        if (object->getTypeId() != TypeId::playerTurnButton ||
            static_cast<PlayerTurnButton*>(object)->colourIndex != colour) {
            continue;
        }
        const auto& button = *static_cast<PlayerTurnButton*>(object);
        const double gap = 0.004;
        glColor4f(phase ? 1.0f : 0.0f, phase ? 1.0f : 0.0f, phase ? 1.0f : 0.0f, 1.0f);
        outline(button.Left - gap, button.Top - gap, button.Right + gap, button.Bottom + gap);
        const float inner = phase ? 0.0f : 1.0f;
        glColor4f(inner, inner, inner, 1.0f);
        outline(button.Left - gap / 2, button.Top - gap / 2, button.Right + gap / 2,
                button.Bottom + gap / 2);
    }
    glLineWidth(1.0f);
    glEnable(GL_TEXTURE_2D);
}

void HintButton::execute() {
    if (GameBoard* board = quietBoard(*this); board != nullptr && enabled) {
        board->requestHint();
    }
}

void UndoButton::readSection(const IniFile& ini, int section) {
    text = ini.getString(section, "text", "");
}

void UndoButton::draw() {
    GameBoard* board = quietBoard(*this);
    // Once the game is over the score screen takes all input: the button could not be pressed.
    enabled = board != nullptr && board->canUndo() && board->turnPlayer < board->numPlayers;
    Button::draw();
}

void UndoButton::execute() {
    if (GameBoard* board = quietBoard(*this); board != nullptr && enabled) {
        board->requestUndo();
    }
}
