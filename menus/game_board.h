// The screen on which the game is played: a Board (the rules) shown as a screen. It adds what a
// player sees and hears: the in-game display (HUD) and, once the game is over, the score screen;
// the plain cells in the static batch, start cells and sparks drawn over it; a spark burst and
// a batch colour for every cell that changes colour; the frame shown and the click heard after
// every move. It paces itself to one frame per 33 ms, starts computer players' searches and plays
// their colours when they have chosen, and forwards the mouse to its menus; the board itself
// takes no input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/board.h"
#include "game/hint_search.h"
#include "game/move_effects.h"
#include "resources/map.h"

class Menu;

// The board set-up the player chose: "players.ini" and "settings.ini" of the working directory.
BoardSetup readBoardSetup();

class GameBoard : public Map, public Board, public MoveEffects {
  public:
    GameBoard();
    ~GameBoard() override;

    bool isGameBoard() const override { return true; }
    // The plain tiles are in the static batch.
    bool drawsOverBatch() const override { return true; }
    // The batch again, and the menus' lists.
    void restoreGlObjects() override;
    // The description, with the players chosen in "players.ini".
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

    // The tiles and their sparks.
    int objectTotal() const override;
    // A cell's batch entry takes its new colour; its sparks burst in the old one.
    void tileRecoloured(Tile& tile, std::int32_t oldColour) override;

    // Set-up steps of the screen.
    void createTileEmitters();
    // Adds every plain tile to the display's static batch and rebuilds it.
    void buildTileBatch();
    void openHudMenu();
    void openScoresMenu();

    // Plays the move of the player to move with `colour`, shows it and passes the turn on.
    void takeTurn(std::int32_t colour);

    // The player's helpers (game_board_assist.cpp). A hint searches on a worker what Hard would
    // pick for the human to move; an undo takes back the last human move at the next update.
    void requestHint();
    void requestUndo() { undoRequested_ = true; }
    // The colour the hint marks now; 0 when none (a hint shows for about two seconds).
    std::int32_t hintedColour() const;
    // A human is to move in a running game.
    bool humanToMove() const;
    // A cell's batch entry takes back its colour of before the undone move.
    void tileRestored(Tile& tile) override;
    // Reads "Colour symbols" from "settings.ini" again (off when missing).
    void readColourSymbolsSetting();
    // Cells and colour buttons carry their colour's digit.
    bool colourSymbols = false;
    // Writes the record of the game played so far to a new saved-game file, once, if a move was
    // played.
    void saveGame();

    std::unique_ptr<Menu> hudMenu;
    std::unique_ptr<Menu> scoresMenu;
    std::uint32_t lastFrameTime = 0;
    std::int32_t cycleLength = 30;
    std::int32_t framePeriod = 33;
    std::int32_t cycleCounter = 0;
    // The game is saved when it ends or is left; the menus' backdrop game is not.
    bool keepsRecord = true;

  protected:
    void gameEnded() override;
    // Tiles are the screen's objects, before their sparks.
    Tile* keepTile(std::unique_ptr<Tile> tile) override;

  private:
    // The hint's and the undo's part of a frame.
    void assistFrame();
    void forgetHint();
    // The computer player's part of a frame.
    void handleComputerTurn();
    void drawMenus();
    // The cells' digits when colour symbols are on, then the HUD and score menus.
    void drawSymbolsAndMenus();
    // The menu the board's input goes to: the score menu once there is one, else the HUD.
    Menu* inputMenu() const;

    bool frameClockStarted_ = false;
    HintSearch hint_;
    std::int32_t hintColour_ = 0;
    std::uint32_t hintShownAt_ = 0;
    bool undoRequested_ = false;
    // The description as the game named it, and where it was found.
    std::string boardName_;
    std::string boardPath_;
    bool saved_ = false;
};
