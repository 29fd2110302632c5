// The base of every on-screen widget: a map object with a rectangle in screen units, a fill
// colour and a text colour, drawn by its menu on top of the scene. MenuItem is the base of the
// widgets that take the mouse (buttons and lists): an enabled flag, hover and highlight states,
// and the mouse operations the menu calls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/map_object.h"
#include "menus/key_binding.h"

class IniFile;
class Map;
class ScreenHost;

// A line of text as its widget draws it: the baseline starts at (x, baseline) and 100 font units
// make h. The text belongs in the box around it (boxLeft .. boxRight, boxTop .. boxBottom).
struct PlacedText {
    std::string text;
    double x;
    double baseline;
    double h;
    double boxLeft;
    double boxTop;
    double boxRight;
    double boxBottom;
};

class HudObject : public MapObject {
  public:
    HudObject() = default;

    bool isHudObject() const override { return true; }
    // Every concrete widget draws itself; the base only reports that it was reached.
    virtual void draw();
    // A second drawing pass after every widget has drawn.
    virtual void postDraw() {}
    // Reads the keys of its own class from section `section` of its menu file, right after it
    // was made (the keys every widget has are the menu's to read).
    virtual void readSection(const IniFile& /*ini*/, int /*section*/) {}
    // Once, after the menu has made all of its widgets: partners are found here.
    virtual void postLoad() {}
    // Once, when the menu goes away, before any widget is destroyed.
    void beforeUnload() override {}
    // Every text the widget draws and where; the drawing and the data check both go by it.
    virtual std::vector<PlacedText> placedTexts() const { return {}; }
    // After the display was re-created: builds again the GL objects the widget keeps.
    virtual void restoreGlObjects() {}

    // True when (x, y) lies within the rectangle, bounds included.
    bool contains(double x, double y) const;
    // The screen holding this widget (null when it has none).
    Map* owningMap() const;
    // The running program, found from the screen holding the widget (or the screen showing
    // that one); null when there is none.
    ScreenHost* screenHost() const;

    double Left = 0.0;
    double Right = 1.0;
    double Top = 0.0;
    double Bottom = 1.0;
    std::array<float, 4> colour{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> textColour{0.0f, 0.0f, 0.0f, 1.0f};
    bool visible = true;
};

class MenuItem : public HudObject {
  public:
    MenuItem();

    bool isMenuItem() const override { return true; }
    void cycleUpdate() override {}
    void draw() override;
    virtual void mouseButtonPressed(double x, double y, std::int32_t button);
    virtual void mouseButtonReleased(double x, double y, std::int32_t button);
    virtual void mouseOver(double x, double y);
    virtual void mouseNotOver();
    virtual void highlight() { highlighted = true; }
    virtual void unhighlight() { highlighted = false; }
    // One of the item's keys was pressed: a button acts as if clicked; other items do nothing.
    virtual void keyActivated() {}
    bool takesKey(std::int32_t key, std::int32_t modifiers) const;

    // The keys that press the item (its `key` in the menu file); none by default.
    std::vector<KeyChord> keyChords;
    std::int32_t row = 0;
    std::int32_t column = 0;
    bool enabled = true;
    bool highlighted = false;
    bool hovered = false;
};
