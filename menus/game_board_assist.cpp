// The hint and the undo of a game: what a player may ask for besides a move.
#include "game/tile.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "platform/platform.h"
#include "render/static_batch.h"
#include "resources/ini_file.h"
#include "resources/screen_host.h"

namespace {

// How long the hinted colour stays marked.
constexpr std::uint32_t hintShowMs = 2000;

}  // namespace

bool GameBoard::humanToMove() const {
    return turnPlayer >= 0 && turnPlayer < numPlayers && turnPlayer == currentPlayer &&
           static_cast<std::size_t>(turnPlayer) < players.size() &&
           players[static_cast<std::size_t>(turnPlayer)].isHuman &&
           players[static_cast<std::size_t>(turnPlayer)].active;
}

void GameBoard::requestHint() {
    if (!humanToMove()) {
        return;
    }
    hintColour_ = 0;
    hint_.start(*this);
}

std::int32_t GameBoard::hintedColour() const {
    if (hintColour_ <= 0 || platform::milliseconds() - hintShownAt_ >= hintShowMs) {
        return 0;
    }
    return hintColour_;
}

void GameBoard::forgetHint() {
    hint_.cancel();
    hintColour_ = 0;
}

void GameBoard::readColourSymbolsSetting() {
    const IniFile settings("settings.ini");
    colourSymbols = settings.getInt("game", "Colour symbols", 0) != 0;
}

void GameBoard::tileRestored(Tile& tile) {
    if (tile.batchIndex >= 0) {
        if (StaticBatch* batch = host != nullptr ? host->staticBatch() : nullptr) {
            batch->setEntryColour(tile.batchIndex, tile.colour);
        }
    }
}

void GameBoard::assistFrame() {
    if (undoRequested_) {
        undoRequested_ = false;
        if (canUndo()) {
            // No search may go on over the position being taken back.
            forgetHint();
            cancelAllThinking();
            undoLastHumanMove();
            // Back in a running game: the score screen goes, input is the HUD's again.
            scoresMenu.reset();
        }
    }
    if (const std::int32_t colour = hint_.takeColour(); colour > 0 && humanToMove()) {
        hintColour_ = colour;
        hintShownAt_ = platform::milliseconds();
    }
}
