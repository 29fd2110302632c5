// Taking back moves: the board keeps the position before every human move, so that a player can
// go back any number of moves to the start of the game.
#include "game/board.h"
#include "game/move_effects.h"
#include "game/player_start.h"

void Board::saveUndoPoint() {
    UndoPoint point;
    point.colours.reserve(tiles_.size());
    point.owned.reserve(tiles_.size());
    for (const Tile* tile : tiles_) {
        point.colours.push_back(tile->colour);
        point.owned.push_back(tile->owned);
    }
    for (const Player& player : players) {
        point.playerColours.push_back(player.startTile != nullptr ? player.startTile->playerColour
                                                                  : -1);
        point.scores.push_back(player.score);
        point.shownScores.push_back(player.shownScore);
    }
    point.currentPlayer = currentPlayer;
    point.turnPlayer = turnPlayer;
    point.moves = moveHistory.size();
    undoPoints_.push_back(std::move(point));
}

bool Board::undoLastHumanMove() {
    if (undoPoints_.empty()) {
        return false;
    }
    const UndoPoint& point = undoPoints_.back();
    // Cells and records are never added or removed in play, so the point fits the board.
    for (std::size_t i = 0; i < tiles_.size() && i < point.colours.size(); ++i) {
        Tile& tile = *tiles_[i];
        const std::int32_t old = tile.colour;
        tile.colour = point.colours[i];
        tile.owned = point.owned[i];
        tile.mark = 0;
        if (tile.colour != old && effects != nullptr) {
            effects->tileRestored(tile);
        }
    }
    for (std::size_t i = 0; i < players.size() && i < point.scores.size(); ++i) {
        Player& player = players[i];
        if (player.startTile != nullptr && point.playerColours[i] >= 0) {
            player.startTile->playerColour = point.playerColours[i];
        }
        player.score = point.scores[i];
        player.shownScore = point.shownScores[i];
    }
    currentPlayer = point.currentPlayer;
    turnPlayer = point.turnPlayer;
    moveHistory.resize(point.moves);
    undoPoints_.pop_back();
    return true;
}
