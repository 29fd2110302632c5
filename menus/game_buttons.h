// The in-game helpers' buttons: the hint, which marks the colour a strong computer player would
// pick for the human to move, and the undo, which takes back the last human move. Both act on the
// board behind their menu and are greyed out while they can do nothing.
#pragma once

#include "menus/button.h"

class HintButton : public Button {
  public:
    HintButton() { executeOnPress = false; }
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    // The mark around the hinted colour's button, over every widget.
    void postDraw() override;
    void execute() override;
};

class UndoButton : public Button {
  public:
    UndoButton() { executeOnPress = false; }
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    void execute() override;
};
