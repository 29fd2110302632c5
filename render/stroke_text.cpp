#include "render/stroke_text.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <X11/Xlib.h>

namespace {

bool fontReady = false;

}  // namespace

bool initialiseStrokeFont() {
    if (fontReady) {
        return true;
    }
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    int argc = 1;
    char name[] = "tintfall";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    fontReady = true;
    return true;
}

float strokeCharacterWidth(unsigned char character) {
    if (!fontReady) {
        return 0.0f;
    }
    return static_cast<float>(glutStrokeWidth(GLUT_STROKE_ROMAN, character));
}

double strokeTextWidth(const std::string& text, double h) {
    double width = 0.0;
    for (char c : text) {
        width += strokeCharacterWidth(static_cast<unsigned char>(c)) * h * 0.01;
    }
    return width;
}

void drawStrokeText(const std::string& text, double x, double y, double h) {
    if (!fontReady) {
        return;
    }
    glPushMatrix();
    glTranslated(x, y, 0.0);
    glScaled(h * 0.01, -h * 0.01, 1.0);
    for (char c : text) {
        glutStrokeCharacter(GLUT_STROKE_ROMAN, static_cast<unsigned char>(c));
    }
    glPopMatrix();
}
