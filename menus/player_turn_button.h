// A colour button of the in-game display: the human player to move takes a turn with its colour.
// It is enabled only while no active player holds the colour.
#pragma once

#include "menus/button.h"
#include "resources/type_ids.h"

class GameBoard;

class PlayerTurnButton : public Button {
  public:
    PlayerTurnButton() { executeOnPress = false; }
    std::int32_t getTypeId() const override { return TypeId::playerTurnButton; }
    // Follows the board: enabled while the colour is free.
    void readSection(const IniFile& ini, int section) override;
    void cycleUpdate() override;
    void draw() override;
    void execute() override;

    // Sets the colour and takes the fill from the palette.
    void setColour(std::int32_t newColour);

    std::int32_t colourIndex = 0;

  private:
    // The board this button plays on; null, with a line in the debug log, when there is none.
    GameBoard* findBoard(const char* notHudMessage, const char* unknownOwnerMessage) const;
};
