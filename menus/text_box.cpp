#include "menus/text_box.h"

#include <GL/gl.h>

#include "render/stroke_text.h"

void TextBox::setText(const char* newText) {
    text_ = newText != nullptr ? std::make_unique<std::string>(newText) : nullptr;
}

void TextBox::draw() {
    if (!text_ || !visible) {
        return;
    }
    glDisable(GL_TEXTURE_2D);
    glColor4fv(textColour.data());
    drawStrokeText(*text_, Left, Bottom, Bottom - Top);
    glEnable(GL_TEXTURE_2D);
}
