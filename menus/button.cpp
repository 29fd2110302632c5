#include "menus/button.h"

#include "menus/panel.h"
#include "platform/gl_lookup.h"
#include "render/stroke_text.h"

namespace {

// The left edge starts a hair below the top edge in both frames.
constexpr double leftEdgeOffset = 1.4675e-6;

void frame(double left, double top, double right, double bottom, float topLeftShade,
           float bottomRightShade) {
    glColor4f(topLeftShade, topLeftShade, topLeftShade, 1.0f);
    glBegin(GL_LINES);
    glVertex2d(right, top);
    glVertex2d(left, top);
    glVertex2d(left, top + leftEdgeOffset);
    glVertex2d(left, bottom);
    glEnd();
    glColor4f(bottomRightShade, bottomRightShade, bottomRightShade, 1.0f);
    glBegin(GL_LINE_STRIP);
    glVertex2d(left, bottom);
    glVertex2d(right, bottom);
    glVertex2d(right, top);
    glEnd();
}

}  // namespace

Button::~Button() {
    // Lists of an earlier context went with it; their numbers may name other lists now.
    if (displayLists != 0 && listsContext_ == platform::currentGlContext()) {
        glDeleteLists(displayLists, 3);
    }
}

void Button::postLoad() {
    if (!platform::haveGlContext()) {
        return;
    }
    if (displayLists != 0 && listsContext_ == platform::currentGlContext()) {
        glDeleteLists(displayLists, 3);
    }
    displayLists = glGenLists(3);
    listsContext_ = platform::currentGlContext();
    if (displayLists == 0) {
        return;
    }
    glNewList(displayLists, GL_COMPILE);
    glBegin(GL_POLYGON);
    glVertex2d(Left, Top);
    glVertex2d(Left, Bottom);
    glVertex2d(Right, Bottom);
    glVertex2d(Right, Top);
    glEnd();
    glEndList();
    glNewList(displayLists + 1, GL_COMPILE);
    frame(Left, Top, Right, Bottom, 0.0f, 1.0f);  // sunken: dark above and left
    glEndList();
    glNewList(displayLists + 2, GL_COMPILE);
    frame(Left, Top, Right, Bottom, 1.0f, 0.0f);  // raised: light above and left
    glEndList();
}

void Button::draw() {
    if (displayLists != 0 && listsContext_ != platform::currentGlContext()) {
        postLoad();  // the window was made again since
    }
    glDisable(GL_TEXTURE_2D);
    if (enabled) {
        const float k = highlighted ? 0.85f : 1.0f;
        glColor4f(colour[0] * k + (1.0f - k) * 0.5f, colour[1] * k + (1.0f - k) * 0.5f,
                  colour[2] * k + (1.0f - k) * 0.5f, colour[3]);
    } else {
        glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    }
    if (displayLists != 0) {
        glCallList(displayLists);
        glCallList(highlighted && pressed && enabled ? displayLists + 1 : displayLists + 2);
    }
    for (const PlacedText& caption : placedTexts()) {
        glColor4fv(textColour.data());
        drawStrokeText(caption.text, caption.x, caption.baseline, caption.h);
    }
    glEnable(GL_TEXTURE_2D);
}

std::vector<PlacedText> Button::placedTexts() const {
    if (text.empty()) {
        return {};
    }
    const double h = (Bottom - Top) * 0.55;
    const double width = strokeTextWidth(text, h);
    // Centred when it fits; otherwise from the left edge on, running past the right one.
    const double x = width <= Right - Left ? (Left + Right - width) / 2.0 : Left;
    return {{text, x, Bottom - h / 2.0, h, Left, Top, Right, Bottom}};
}

void Button::mouseOver(double, double) {
    hovered = true;
    if (highlightOnHover) {
        highlight();
    }
}

void Button::mouseNotOver() {
    hovered = false;
    if (highlightOnHover) {
        unhighlight();
    }
}

void Button::mouseButtonPressed(double, double, std::int32_t) {
    if (executeOnPress) {
        execute();
        return;
    }
    pressed = true;
    highlight();
}

void Button::mouseButtonReleased(double, double, std::int32_t) {
    if (executeOnPress) {
        return;
    }
    if (highlighted && pressed) {
        execute();
    }
    pressed = false;
}
