// The game board as the rules see it: a hexagonal board of cells built from a board description
// (an ini file) and a BoardSetup, the player records, and the moves: recolour, capture, scores,
// turns and the end of the game. Nothing here draws or sounds; the screen that shows a board
// (GameBoard) adds that around the rules, and hears of every cell that changes colour through
// `effects`. The simulator and the tests play a plain Board.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "game/board_setup.h"
#include "game/player.h"

class IniFile;
class MoveEffects;
class PlayerStart;
class Tile;

// One move of a game: the slot that moved and the colour it chose.
struct PlayedMove {
    std::int32_t slot;
    std::int32_t colour;
};

class Board {
  public:
    Board();
    // Stops every search worker first (a wait of at most 10 s each).
    virtual ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // Reads the board's size, its players (as many as `setup` chose) and its cells from the
    // description, placing each cell. False, with a line in the debug log, for a description
    // that cannot be played; the cells made so far stay.
    bool loadDescription(IniFile& description, const BoardSetup& setup);
    // The rules' part of setting up a described board: links, colours, players, the pockets no
    // one could take. Shows nothing (`effects` is not told).
    void setUp(const BoardSetup& setup);

    // Set-up steps.
    void linkNeighbours();
    // Colours every plain cell whose colour is 0 at random, black with about `blackShare` in
    // 7 + `blackShare`, never black within two steps of a start cell.
    void assignColours(double blackShare);
    void readPlayerSettings(const BoardSetup& setup);
    void fillBlackPockets();
    // Makes black every cell of unreachableCells(): otherwise nobody could ever take them, and
    // the game would never end.
    void fillUnreachableAreas();
    void claimStartAreas();

    // The rules.

    // No active player's start cell holds `colour` (its tile colour with `useTileColour`, its
    // player colour otherwise).
    bool isColourFree(std::int32_t colour, bool useTileColour) const;
    // Plays the move of the player to move with `colour`: recolour, capture, scores, the turn
    // passed on. True when the game is over after it.
    bool playMove(std::int32_t colour);
    bool isGameOver() const;
    void clearMarks();
    // True when `cell` is the start cell of the player whose turn it is, while the game goes on.
    bool isTurnStartCell(const PlayerStart* cell) const;
    // The tiles of the board, in the order of their sections.
    const std::vector<Tile*>& tiles() const { return tiles_; }
    // The tile at (row, col), or null.
    Tile* tileAt(std::int32_t row, std::int32_t col) const;
    // The unowned cells that are not black and that no player's territory can grow into from
    // its start cell, cut off by black cells, missing cells and the edge (needs the links).
    // None on a board without any player's start cell.
    std::vector<Tile*> unreachableCells() const;

    // Takes back the last move of a human player and every computer move after it: cells,
    // scores, colours and the player to move are as they were before it. False when no human
    // has moved (or every human move has been taken back). Stop every search first.
    bool undoLastHumanMove();
    bool canUndo() const { return !undoPoints_.empty(); }

    // While the game runs, passes the turn over slots that take no turns.
    void passInactiveSlots();
    // Stops every search worker (a wait of at most 10 s each).
    void cancelAllThinking();

    // What the board holds: its cells, and on a screen their sparks as well. The search starts
    // every best value below minus this.
    virtual int objectTotal() const;
    // A plain board in the same state, cells, links and players: what a search worker may play
    // on while the board itself goes on. Taken on the board's own thread.
    std::unique_ptr<Board> copyForSearch() const;
    // The board as setUp left it, before the first move; null before setUp.
    const Board* startPosition() const { return startPosition_.get(); }

    std::int32_t numRows = 0;
    std::int32_t numCols = 0;
    std::int32_t numPlayers = 0;
    std::vector<Player> players;
    std::int32_t currentPlayer = 0;
    std::int32_t turnPlayer = 0;
    // Not owned: told of every cell that changes colour in play; null during set-up and on a
    // board nobody watches.
    MoveEffects* effects = nullptr;
    // Every move played so far, in order.
    std::vector<PlayedMove> moveHistory;
    // The random generator's state when the description was read, and the set-up given to
    // setUp: with the description they make this board again, cell for cell.
    std::uint32_t setupSeed = 0;
    BoardSetup setupUsed;

  protected:
    // Steps 1 to 5 of a move: the territory takes the colour and captures; the turn passes on.
    void moveTerritory(std::int32_t colour);
    // The end of a move: the mover's shown score, then the next turn or the end of the game,
    // which is announced (gameEnded) when `announceEnd`.
    void finishTurn(bool announceEnd);
    // The game has just ended, before the turn passes to nobody.
    virtual void gameEnded() {}
    // Keeps a new cell of the description. The plain board owns it; a screen keeps it with its
    // other objects.
    virtual Tile* keepTile(std::unique_ptr<Tile> tile);

  private:
    // The position before a human move: enough to put the board back exactly.
    struct UndoPoint {
        std::vector<std::int32_t> colours;  // per tile, in tile order
        std::vector<bool> owned;
        std::vector<std::int32_t> playerColours;  // per slot; -1 without a start cell
        std::vector<std::int32_t> scores;
        std::vector<std::int32_t> shownScores;
        std::int32_t currentPlayer = 0;
        std::int32_t turnPlayer = 0;
        std::size_t moves = 0;
    };
    void saveUndoPoint();

    std::vector<UndoPoint> undoPoints_;
    // The key of a cell in the grid: row and column side by side, for any row and column.
    static std::uint64_t cellKey(std::int32_t row, std::int32_t col) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32 |
               static_cast<std::uint32_t>(col);
    }

    std::vector<Tile*> tiles_;  // not owned: kept by keepTile
    // The cells by (row, col); sparse, so a board's size never decides an allocation.
    std::unordered_map<std::uint64_t, Tile*> grid_;
    std::vector<std::unique_ptr<Tile>> ownedTiles_;
    // A copy's objectTotal: that of the board it copies.
    int copiedTotal_ = -1;
    std::unique_ptr<Board> startPosition_;
};
