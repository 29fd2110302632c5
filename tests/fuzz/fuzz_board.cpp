// Feeds arbitrary bytes to the board reader as a board description, sets the board up as the game
// does (whatever the reader made of it) and plays a few moves: the first one chosen by the
// computer players' search on small boards, the rest the first free colour. The player and
// black-cell settings come from the description's own "General" section, so they vary too.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/board.h"
#include "game/computer_player.h"
#include "game/tile.h"
#include "platform/random.h"
#include "resources/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    IniFile description("board.ini", text);
    BoardSetup setup;
    setup.players = description.getInt("General", "players", 4);
    setup.randomFirstPlayer = description.getInt("General", "randomFirstPlayer", 0) != 0;
    setup.blackShare = description.getFloat("General", "blackTiles", 0.01);
    platform::seedRandom(1);

    Board board;
    // The game sets a board up even when its description failed.
    board.loadDescription(description, setup);
    board.setUp(setup);
    board.passInactiveSlots();
    for (int move = 0; move < 12 && board.turnPlayer < board.numPlayers; ++move) {
        Player& mover = board.players[static_cast<std::size_t>(board.turnPlayer)];
        std::int32_t colour = 0;
        if (move == 0 && board.tiles().size() <= 64) {
            mover.difficulty = 0;
            colour = think(mover, board).colour;
        }
        for (std::int32_t c = 0; c < 7 && colour <= 0; ++c) {
            const std::int32_t candidate = 1 + (move * 3 + c) % 7;
            if (board.isColourFree(candidate, false)) {
                colour = candidate;
            }
        }
        if (colour <= 0) {
            break;
        }
        board.playMove(colour);
        board.passInactiveSlots();
    }
    unlink("debug.log");
    return 0;
}
