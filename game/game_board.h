// The screen on which the game is played: a hexagonal board of tiles built from a board
// description (an ini file), the player records, the in-game display (HUD) and, once the game is
// over, the score screen. The board paces itself to one frame per 33 ms, lets computer players
// think on a worker thread, and forwards the mouse to its menus; the board itself takes no input.
//
// The rules of a move (takeTurn and the territory walks of Tile) change only tiles, players and
// the turn; what a player sees and hears of a move is added around them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/player.h"
#include "resources/map.h"

class Menu;
class PlayerStart;
class Tile;

class GameBoard : public Map {
  public:
    GameBoard();
    ~GameBoard() override;

    bool isGameBoard() const override { return true; }
    // The plain tiles are in the static batch.
    bool drawsOverBatch() const override { return true; }
    // The batch again, and the menus' lists.
    void restoreGlObjects() override;
    bool loadIniFile(IniFile& ini) override;
    void additionalSetup() override;
    void update() override;
    void draw() override;
    void keyPressed(std::int32_t key, std::int32_t modifiers) override;
    void keyReleased(std::int32_t key, std::int32_t modifiers) override;
    void mouseMoved(double x, double y, double dx, double dy) override;
    void mouseButtonPressed(double x, double y, std::int32_t button) override;
    void mouseButtonReleased(double x, double y, std::int32_t button) override;

    // Draws what the static tile batch does not hold: start cells, sparks, the menus.
    void drawOverlay() override;

    // Set-up steps.
    void linkNeighbours();
    void assignColours();
    void readPlayerSettings();
    void fillBlackPockets();
    // Makes black every cell of unreachableCells(): otherwise nobody could ever take them, and
    // the game would never end.
    void fillUnreachableAreas();
    void claimStartAreas();
    void createTileEmitters();
    // Adds every plain tile to the display's static batch and rebuilds it.
    void buildTileBatch();
    void openHudMenu();
    void openScoresMenu();

    // The rules.

    // No active player's start cell holds `colour` (its tile colour with `useTileColour`, its
    // player colour otherwise).
    bool isColourFree(std::int32_t colour, bool useTileColour) const;
    // Plays the move of the player to move with `colour`, shows it and passes the turn on.
    void takeTurn(std::int32_t colour);
    // The rules of a move alone: recolour, capture, scores, turn. No picture, no sound. True
    // when the game is over after it.
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

    // Stops every search worker (a wait of at most 10 s each).
    void cancelAllThinking();

    std::unique_ptr<Menu> hudMenu;
    std::unique_ptr<Menu> scoresMenu;
    std::uint32_t lastFrameTime = 0;
    std::int32_t cycleLength = 30;
    std::int32_t framePeriod = 33;
    std::int32_t cycleCounter = 0;
    std::int32_t numRows = 0;
    std::int32_t numCols = 0;
    std::int32_t numPlayers = 0;
    std::vector<Player> players;
    std::int32_t currentPlayer = 0;
    std::int32_t turnPlayer = 0;

  private:
    // The computer player's part of a frame.
    void handleComputerTurn();
    // Steps 1 to 5 of a move: the territory takes the colour and captures; the turn passes on.
    void moveTerritory(std::int32_t colour);
    // The end of a move: the mover's shown score, then the next turn or the end of the game.
    void finishTurn(bool openMenus);
    void drawMenus();
    // The menu the board's input goes to: the score menu once there is one, else the HUD.
    Menu* inputMenu() const;

    // The key of a cell in the grid: row and column side by side, for any row and column.
    static std::uint64_t cellKey(std::int32_t row, std::int32_t col) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32 |
               static_cast<std::uint32_t>(col);
    }

    std::vector<Tile*> tiles_;  // owned by the object list
    // The cells by (row, col); sparse, so a board's size never decides an allocation.
    std::unordered_map<std::uint64_t, Tile*> grid_;
    bool frameClockStarted_ = false;
};
