// A screen described by one ini file: every section becomes a widget, made by the class its
// `Type` key names. Widgets are drawn in section order over everything else, and the mouse goes
// to every selectable widget (MenuItem) in that order. A key goes to the items that name it.
#pragma once

#include <memory>
#include <string>

#include "resources/map.h"

class HudObject;

class Menu : public Map {
  public:
    bool isMenu() const override { return true; }
    bool loadIniFile(IniFile& ini) override;
    void additionalSetup() override {}
    void update() override;
    void draw() override;
    void keyPressed(std::int32_t key, std::int32_t modifiers) override;
    void keyReleased(std::int32_t, std::int32_t) override {}
    void mouseMoved(double x, double y, double dx, double dy) override;
    void mouseButtonPressed(double x, double y, std::int32_t button) override;
    void mouseButtonReleased(double x, double y, std::int32_t button) override;
    // Every widget builds its GL objects again.
    void restoreGlObjects() override;

    // The screen that shows this menu (the menu controller, or the board for its HUD and score
    // menus); not owned, null until the owner sets it.
    Map* parent = nullptr;
};

// The widget for one section of a menu file, made by its `Type` and its further keys.
std::unique_ptr<HudObject> createWidget(const IniFile& ini, int sectionIndex);
