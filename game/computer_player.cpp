#include "game/computer_player.h"

#include <memory>

#include "game/board.h"
#include "game/expert_search.h"
#include "game/fast_search.h"
#include "game/reference_search.h"
#include "game/search_position.h"
#include "platform/platform.h"

namespace {

constexpr std::uint32_t waitLimitMs = 10000;

}  // namespace

SearchResult think(Player& player, Board& board) {
    const SearchPosition position(board, player.difficulty);
    if (!position.usable()) {
        return thinkReference(player, board);
    }
    const SearchResult result = fastSearch(position, player.abortThinking);
    // The search never touches the board; what is left of earlier walks' stamps goes as well.
    board.clearMarks();
    return result;
}

void startThinking(Player& player, Board& board, bool behindFrames) {
    cancelThinking(player);
    player.chosenColour = -1;
    player.abortThinking = false;
    player.board = &board;
    // What the worker searches is taken here, on the board's own thread: the position, or on a
    // board too large for its bit sets a plain copy of the board for the reference search. The
    // stamps are cleared before it starts rather than after.
    auto position = std::make_shared<const SearchPosition>(board, player.difficulty);
    std::shared_ptr<Board> copy;
    if (!position->usable()) {
        copy = board.copyForSearch();
    }
    board.clearMarks();
    // Expert plays on the same copy; where it cannot, the level plays in its place.
    const bool expert = player.expert && expertCanSearch(*position);
    player.thinkThread = std::make_unique<platform::WorkerThread>();
    player.thinkThread->start([&player, position, copy, expert, behindFrames] {
        if (behindFrames) {
            platform::lowerThreadPriority();
        }
        const SearchResult result = expert ? thinkExpert(*position, player.abortThinking)
                                    : copy ? thinkReference(player, *copy)
                                           : fastSearch(*position, player.abortThinking);
        player.lastSearchMoves = result.simulatedMoves;
        // Written last: the main thread reads the record again once it sees the colour.
        player.chosenColour = result.colour;
    });
}

void cancelThinking(Player& player) {
    player.abortThinking = true;
    if (player.thinkThread) {
        // A worker still running after the wait is waited for to its end: it writes the
        // player's record, which must not go away under it.
        player.thinkThread->waitFor(waitLimitMs);
        player.thinkThread.reset();
    }
    player.chosenColour = -1;
}
