#pragma once

#include <string>
#include <string_view>

#include "gfx/canvas.h"

// Texts at page positions and small marks at world points.
namespace plot {

// Writes `text` (UTF-8, drawn whole, trailing blanks included) with its top-left corner at page
// position (x, y), in the font chosen by `size` (page units), turned `angle` degrees
// counter-clockwise, in the current colour. The text rotation is 0 afterwards.
void SYMBOL(gfx::Canvas& canvas, int iw, float x, float y, float size, float angle,
            std::string text);

// Draws a mark of `size` page units centred on the world point of region ir: type 2 a plus,
// 3 a star, 4 to 6 nothing, any other a single pixel.
void MARKER(gfx::Canvas& canvas, int iw, int ir, float x, float y, int itype, float size);

// The font option string that SYMBOL asks for at nominal size `size`.
std::string_view symbol_font(float size);

// How often SYMBOL asks for its font before it writes in whatever font the window has.
inline constexpr int k_font_attempts = 10;

}  // namespace plot
