#include "menus/text_box.h"

#include <GL/gl.h>

#include "render/stroke_text.h"
#include "resources/ini_file.h"

void TextBox::setText(const char* newText) {
    text_ = newText != nullptr ? std::make_unique<std::string>(newText) : nullptr;
}

std::vector<PlacedText> TextBox::placedTexts() const {
    if (!text_ || !visible) {
        return {};
    }
    // As high as the rectangle, on its bottom edge; never centred, never clipped.
    return {{*text_, Left, Bottom, Bottom - Top, Left, Top, Right, Bottom}};
}

void TextBox::draw() {
    const std::vector<PlacedText> lines = placedTexts();
    if (lines.empty()) {
        return;
    }
    glDisable(GL_TEXTURE_2D);
    glColor4fv(textColour.data());
    for (const PlacedText& line : lines) {
        drawStrokeText(line.text, line.x, line.baseline, line.h);
    }
    glEnable(GL_TEXTURE_2D);
}

void TextBox::readSection(const IniFile& ini, int section) {
    setText(ini.getString(section, "Text", ""));
}
