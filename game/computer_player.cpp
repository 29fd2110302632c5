#include "game/computer_player.h"

#include "game/player.h"

// Stand-in until the search is written: the turn of a computer player waits.
void startThinking(Player& player, GameBoard&) {
    player.chosenColour = -1;
}

void cancelThinking(Player& player) {
    player.abortThinking = true;
    if (player.thinkThread) {
        player.thinkThread->waitFor(10000);
        player.thinkThread.reset();
    }
    player.chosenColour = -1;
}
