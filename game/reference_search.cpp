// The computer players' search written plainly: it plays every simulated move on the tiles of
// the board it is given, keeps an undo stack and clears every tile's stamp after each move. The
// game plays the fast search of fast_search.cpp; this one is kept as the yardstick it must match
// choice for choice, move for move (tests and the simulator's benchmark run both).
#include "game/reference_search.h"

#include <array>
#include <vector>

#include "game/board.h"
#include "game/player_start.h"
#include "platform/debug_log.h"

namespace {

struct UndoRecord {
    Tile* tile;  // null for the marker that opens one simulated move
    std::int32_t colour;
    bool owned;
};

// One search: the board, its undo stack and what it counts. Each search has its own, so two
// boards could even think at once.
class ReferenceSearch {
  public:
    ReferenceSearch(Player& player, Board& board) : player_(player), board_(board) {
        worst_ = -static_cast<float>(board.objectTotal());
        for (const Player& slot : board.players) {
            activePlayers_ += slot.active ? 1 : 0;
        }
    }

    std::int32_t run() {
        undoStack_.clear();
        const std::int32_t depth = searchDepth(player_.difficulty, activePlayers_);
        ScoreVector result{};
        const std::int32_t best = searchRoot(board_.currentPlayer, result, worst_, depth);
        if (!undoStack_.empty()) {
            logText("Error: stack not empty\n");
        }
        return best;
    }

    std::int64_t simulatedMoves() const { return simulatedMoves_; }

  private:
    Player& slot(std::int32_t index) { return board_.players[static_cast<std::size_t>(index)]; }

    bool aborted() const { return player_.abortThinking.load(); }

    // A colour some active player's start cell shows is never tried.
    bool held(std::int32_t colour) const { return !board_.isColourFree(colour, true); }

    bool startUncoloured(std::int32_t index) {
        const PlayerStart* start = slot(index).startTile;
        return start != nullptr && start->colour == 0;
    }

    // The search's move rule: the territory floods with the new colour; no captures.
    void simulateMove(std::int32_t colour) {
        ++simulatedMoves_;
        Player& mover = slot(board_.currentPlayer);
        if (Tile* start = mover.startTile) {
            const std::int32_t old = start->colour;
            undoStack_.push_back(UndoRecord{start, start->colour, start->owned});
            start->colour = colour;
            start->owned = true;
            std::vector<Tile*>& queue = queue_;
            queue.clear();
            queue.push_back(start);
            for (std::size_t next = 0; next < queue.size(); ++next) {
                for (Tile* neighbour : queue[next]->neighbours) {
                    if (neighbour == nullptr) {
                        continue;
                    }
                    const bool taken =
                        neighbour->owned ? neighbour->colour == old : neighbour->colour == colour;
                    if (taken) {
                        undoStack_.push_back(
                            UndoRecord{neighbour, neighbour->colour, neighbour->owned});
                        neighbour->colour = colour;
                        neighbour->owned = true;
                        queue.push_back(neighbour);
                    }
                }
            }
            mover.score = static_cast<std::int32_t>(queue.size());
        }
        // On to the next active slot.
        const std::int32_t count = board_.numPlayers;
        std::int32_t next = board_.currentPlayer;
        for (std::int32_t step = 0; step < count; ++step) {
            next = (next + 1) % count;
            if (slot(next).active) {
                break;
            }
        }
        board_.currentPlayer = next;
    }

    void undoToMarker() {
        while (!undoStack_.empty()) {
            const UndoRecord record = undoStack_.back();
            undoStack_.pop_back();
            if (record.tile == nullptr) {
                return;
            }
            record.tile->colour = record.colour;
            record.tile->owned = record.owned;
        }
    }

    // Plays `colour` for the mover, lets the next player answer, takes it all back.
    void simulateAndAnswer(std::int32_t mover, std::int32_t colour, ScoreVector& answer,
                           float bound, std::int32_t depth, bool answerFromFirstMove) {
        undoStack_.push_back(UndoRecord{nullptr, 0, false});
        const std::int32_t score = slot(mover).score;
        simulateMove(colour);
        if (answerFromFirstMove && startUncoloured(board_.currentPlayer)) {
            searchFirstMove(mover, answer, bound, depth);
        } else {
            searchNode(mover, answer, bound, depth);
        }
        undoToMarker();
        board_.clearMarks();
        board_.currentPlayer = mover;
        slot(mover).score = score;
    }

    bool tryColour(std::int32_t mover, std::int32_t root, ScoreVector& best, ScoreVector& scratch,
                   float& bestValue, float bound, std::int32_t& bestColour, std::int32_t colour,
                   std::int32_t depth) {
        simulateAndAnswer(mover, colour, scratch, bestValue, depth, true);
        const std::size_t moverSlot = static_cast<std::size_t>(mover);
        if (bestValue < scratch[moverSlot]) {
            bestValue = scratch[moverSlot];
            bestColour = colour;
            best = scratch;
            return bound >= scratch[static_cast<std::size_t>(root)];
        }
        return false;
    }

    std::int32_t searchNode(std::int32_t parent, ScoreVector& result, float bound,
                            std::int32_t depth) {
        if (depth <= 0) {
            result = evaluate();
            return 0;
        }
        const std::int32_t mover = board_.currentPlayer;
        const std::size_t moverSlot = static_cast<std::size_t>(mover);
        float best = worst_;
        std::int32_t bestColour = 0;
        ScoreVector scratch{};
        for (std::int32_t colour = 1; colour <= 7; ++colour) {
            if (held(colour)) {
                continue;
            }
            simulateAndAnswer(mover, colour, scratch, best, depth - 1, false);
            bool cutOffTest = false;
            if (bestColour == 0 || best < scratch[moverSlot]) {
                best = scratch[moverSlot];
                bestColour = colour;
                result = scratch;
                cutOffTest = true;
            } else if (best == scratch[moverSlot]) {
                cutOffTest = true;
            }
            // The parent's mover already has something at least as good.
            if (cutOffTest && bound >= scratch[static_cast<std::size_t>(parent)]) {
                return bestColour;
            }
            if (aborted()) {
                return bestColour;
            }
        }
        return bestColour;
    }

    // For a mover whose start cell is still uncoloured: its neighbours' colours first.
    std::int32_t searchFirstMove(std::int32_t parent, ScoreVector& result, float bound,
                                 std::int32_t depth) {
        const std::int32_t mover = board_.currentPlayer;
        std::vector<std::int32_t> candidates;
        auto addCandidate = [&candidates](std::int32_t colour) {
            if (colour < 1 || colour > 7) {
                return;
            }
            for (std::int32_t present : candidates) {
                if (present == colour) {
                    return;
                }
            }
            candidates.push_back(colour);
        };
        if (const PlayerStart* start = slot(mover).startTile) {
            for (const Tile* neighbour : start->neighbours) {
                if (neighbour != nullptr) {
                    addCandidate(neighbour->colour);
                }
            }
        }
        for (std::int32_t colour = 1; colour <= 7; ++colour) {
            addCandidate(colour);
        }
        float best = worst_;
        std::int32_t bestColour = 0;
        ScoreVector scratch{};
        for (std::int32_t colour : candidates) {
            if (held(colour)) {
                continue;
            }
            if (tryColour(mover, parent, result, scratch, best, bound, bestColour, colour,
                          depth - 1) ||
                aborted()) {
                break;
            }
        }
        return bestColour;
    }

    std::int32_t searchRoot(std::int32_t root, ScoreVector& result, float bound,
                            std::int32_t depth) {
        ScoreVector scratch{};
        if (depth <= 1) {
            return startUncoloured(root) ? searchFirstMove(root, scratch, worst_, depth)
                                         : searchNode(root, scratch, worst_, depth);
        }
        // Ordering pass: every free colour one move deep.
        float best = worst_;
        std::int32_t bestColour = 0;
        std::array<float, 7> orderScore{};
        for (std::int32_t colour = 1; colour <= 7; ++colour) {
            const std::size_t position = static_cast<std::size_t>(colour - 1);
            if (held(colour)) {
                orderScore[position] = worst_;
                continue;
            }
            tryColour(root, root, result, scratch, best, bound, bestColour, colour, 0);
            orderScore[position] = scratch[static_cast<std::size_t>(root)];
            if (aborted()) {
                return bestColour;
            }
        }
        // A selection pass over positions: the scores stay where they were computed, only the
        // colours move, so after a first swap the order is not strictly by score.
        std::array<std::int32_t, 7> order{1, 2, 3, 4, 5, 6, 7};
        for (std::size_t i = 0; i < 6; ++i) {
            std::size_t chosen = i;
            for (std::size_t j = i + 1; j < 7; ++j) {
                if (orderScore[chosen] < orderScore[j]) {
                    chosen = j;
                }
            }
            if (chosen != i) {
                std::swap(order[i], order[chosen]);
            }
        }
        // Deep pass: a deeper result replaces the one-move choice only when strictly better.
        for (std::int32_t colour : order) {
            if (held(colour)) {
                continue;
            }
            tryColour(root, root, result, scratch, best, bound, bestColour, colour, depth - 1);
            if (aborted()) {
                break;
            }
        }
        return bestColour;
    }

    ScoreVector evaluate() const { return evaluatePosition(board_); }

    Player& player_;
    Board& board_;
    std::int32_t activePlayers_ = 0;
    float worst_ = 0.0f;
    std::vector<UndoRecord> undoStack_;
    std::vector<Tile*> queue_;
    std::int64_t simulatedMoves_ = 0;
};

}  // namespace

SearchResult thinkReference(Player& player, Board& board) {
    ReferenceSearch search(player, board);
    SearchResult result;
    result.colour = search.run();
    result.simulatedMoves = search.simulatedMoves();
    return result;
}
