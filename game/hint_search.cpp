#include "game/hint_search.h"

#include "game/computer_player.h"

void HintSearch::start(Board& board) {
    if (running()) {
        return;
    }
    startThinking(searcher_, board);
}

void HintSearch::cancel() {
    cancelThinking(searcher_);
}

bool HintSearch::running() const {
    return searcher_.thinkThread && searcher_.chosenColour.load() < 0 &&
           searcher_.thinkThread->isRunning();
}

std::int32_t HintSearch::takeColour() {
    if (!searcher_.thinkThread || running()) {
        return 0;
    }
    const std::int32_t colour = searcher_.chosenColour.load();
    if (colour < 0) {
        return 0;  // the worker writes the colour last; it has not yet
    }
    searcher_.thinkThread->waitFor(0);
    searcher_.thinkThread.reset();
    searcher_.chosenColour = -1;
    return colour;
}
