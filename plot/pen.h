#pragma once

#include <cstdint>

#include "gfx/canvas.h"

// The package's pen: colours from the colour table, line styles, and pen moves at world
// coordinates of a region or at pixels of a page.
namespace plot {

// Makes colour index ic (0 to 105) the current colour of lines, points and text.
void SETCOL(gfx::Canvas& canvas, int ic);

// Redefines colour ic from red, green and blue fractions, each clamped to 0..1; nothing is sent
// to the window until the next SETCOL(ic).
void COLOR(int ic, float r, float g, float b);

// Line style 1 solid, 2 long dashes, 3 dashes, 4 short dashes; any other value solid.
void SETLIN(gfx::Canvas& canvas, int istyle);

// Moves the pen to the world point of region ir, drawing a line there when ipen is 1.
void MOVE(gfx::Canvas& canvas, int iw, int ir, float x, float y, int ipen);

// Moves the pen to pixel (ix, iy) of page iw, drawing when ipen is 1; no clipping.
void PIXMOVE(gfx::Canvas& canvas, int iw, int32_t ix, int32_t iy, int ipen);

// Sets the pixel of the world point of region ir to the current colour.
void POINT(gfx::Canvas& canvas, int iw, int ir, float x, float y);

}  // namespace plot
