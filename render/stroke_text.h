// Text in GLUT's Roman stroke font, the one typeface of the menus. 100 font units make the
// wanted height h; screen y grows downwards, so the font is flipped as it is drawn.
#pragma once

#include <string>

// freeglut refuses its font calls until glutInit has run; the display calls this once its window
// is open (glutInit opens its own connection to the same X display). False when no X display can
// be opened: freeglut would end the program then, so the font stays unusable instead.
bool initialiseStrokeFont();

// Width of one character in font units; 0 for characters the font does not have.
float strokeCharacterWidth(unsigned char character);

// Width of `text` drawn at height h, in screen units.
double strokeTextWidth(const std::string& text, double h);

// Draws `text` with its baseline starting at (x, y), h high, in the current colour.
void drawStrokeText(const std::string& text, double x, double y, double h);
