// A vertical list of text items, one of which the user selects with the mouse (by clicking or by
// dragging). Each item carries a hidden value; the new-game and settings controls read and set
// the selection through these values, so the menu file alone decides what a screen offers.
#pragma once

#include <string>
#include <vector>

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class IniFile;

class ListBox : public MenuItem {
  public:
    // Largest item count a file may ask for.
    static constexpr int maxItemsLimit = 99999;

    std::int32_t getTypeId() const override { return TypeId::listBox; }
    // The list keys and the items.
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    std::vector<PlacedText> placedTexts() const override;
    void mouseButtonPressed(double x, double y, std::int32_t button) override;
    void mouseButtonReleased(double x, double y, std::int32_t button) override;
    void mouseOver(double x, double y) override;

    // Reads `item`n and `value`n of the list's section until both are empty or n reaches
    // `MaxItems` (100 when missing).
    void loadItems(const IniFile& ini, int sectionIndex);
    void addItem(const std::string& text, const std::string& value);
    // The value of the selected item, or "" when none is selected.
    std::string selectedValue() const;
    // Selects the first item whose value matches ignoring case; otherwise nothing changes.
    void selectByValue(const std::string& value);
    void selectAt(double x, double y);
    // How many rows are drawn: only those that fit whole in the list (there is no scrolling).
    std::size_t drawnRows() const;
    // The text of row i and its place in the row, cut where it would run past the row.
    PlacedText rowText(std::size_t i) const;

    const std::vector<std::string>& items() const { return items_; }
    const std::vector<std::string>& values() const { return values_; }

    std::int32_t mouseDown = 0;
    std::int32_t selected = -1;
    float itemHeight = 0.05f;
    float itemGap = 0.002f;
    float textGap = 0.001f;

  private:
    std::vector<std::string> items_;
    std::vector<std::string> values_;
};
