// The computer players: a search of the colour choices several moves ahead, run on a worker
// thread while the player's turn lasts. The worker leaves its choice in the player's record.
#pragma once

class GameBoard;
struct Player;

// Starts a search for `player` on `board` (stopping any earlier one first).
void startThinking(Player& player, GameBoard& board);
// Stops the player's search, waiting at most 10 s for its worker.
void cancelThinking(Player& player);
