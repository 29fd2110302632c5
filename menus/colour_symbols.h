// Symbols that tell the playable colours apart without seeing colour: each colour carries its
// digit, the key that picks it, drawn in lines, dark on light colours and light on dark ones.
#pragma once

#include <cstdint>

class Menu;
class Tile;
class Board;

// The lines of colour `colour`'s digit centred on (x, y), `height` high, for a GL_LINES batch
// already begun; `fill` is the colour drawn under it (RGB), which decides dark or light.
// Nothing for colours outside 1..7.
void addColourSymbol(std::int32_t colour, const float* fill, double x, double y, double height);

// A digit on every cell of a playable colour (start cells in the colour they show), over the
// batch, in one batch of lines.
void drawCellSymbols(const Board& board);

// A digit on every colour button of `menu`, greyed buttons included.
void drawButtonSymbols(const Menu& menu);
