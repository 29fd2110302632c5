#include "menus/panel.h"

#include <GL/gl.h>

Panel::Panel() {
    Left = Right = Top = Bottom = 0.0;
}

void drawRectangle(double left, double top, double right, double bottom) {
    glBegin(GL_QUADS);
    glVertex2d(left, top);
    glVertex2d(left, bottom);
    glVertex2d(right, bottom);
    glVertex2d(right, top);
    glEnd();
}

void Panel::draw() {
    glDisable(GL_TEXTURE_2D);
    glColor4fv(colour.data());
    drawRectangle(Left, Top, Right, Bottom);
    glEnable(GL_TEXTURE_2D);
}
