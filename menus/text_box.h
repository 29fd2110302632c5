// One line of stroke-font text, its baseline on the bottom edge, as high as the rectangle.
#pragma once

#include <memory>
#include <string>

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class TextBox : public HudObject {
  public:
    std::int32_t getTypeId() const override { return TypeId::textBox; }
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    std::vector<PlacedText> placedTexts() const override;

    // Replaces the text with a copy; null means no text at all.
    void setText(const char* newText);
    void setText(const std::string& newText) { setText(newText.c_str()); }
    // The text, or null when there is none.
    const std::string* text() const { return text_.get(); }

  private:
    std::unique_ptr<std::string> text_;
};
