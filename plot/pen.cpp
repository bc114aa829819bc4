#include "plot/pen.h"

#include "plot/page.h"
#include "plot/plot_state.h"
#include "plot/transforms.h"

namespace plot {

namespace {

constexpr uint16_t k_solid = 0xFFFF;

float clamp_fraction(float value) {
    // Comparisons leave not-a-number as it is.
    if (value < 0.0f) return 0.0f;
    if (value > 1.0f) return 1.0f;
    return value;
}

// The colour value 0x00BBGGRR of colour index ic: each component times 255, truncated,
// narrowed to 16 bits, its low byte taken.
gfx::Colour colour_value(int ic) {
    gfx::Colour value = 0;
    for (int component = 1; component <= k_components; ++component) {
        const auto narrowed =
            static_cast<int16_t>(truncate_toward_zero(coldim(component, ic + 1) * 255.0f));
        const auto byte = static_cast<gfx::Colour>(static_cast<uint16_t>(narrowed) & 0xFFu);
        value |= byte << (8 * (component - 1));
    }
    return value;
}

}  // namespace

void SETCOL(gfx::Canvas& canvas, int ic) {
    const gfx::Colour value = colour_value(ic);
    canvas.set_colour(value);
    canvas.set_text_colour(value);
    tables().ICOL = ic;
}

void COLOR(int ic, float r, float g, float b) {
    coldim(1, ic + 1) = clamp_fraction(r);
    coldim(2, ic + 1) = clamp_fraction(g);
    coldim(3, ic + 1) = clamp_fraction(b);
}

void SETLIN(gfx::Canvas& canvas, int istyle) {
    canvas.set_line_style(k_solid);
    switch (istyle) {
        case 1:
            canvas.set_line_style(0xFFFF);
            break;
        case 2:
            canvas.set_line_style(0xFF00);
            break;
        case 3:
            canvas.set_line_style(0xF0F0);
            break;
        case 4:
            canvas.set_line_style(0xCCCC);
            break;
        default:
            break;
    }
}

void MOVE(gfx::Canvas& canvas, int iw, int ir, float x, float y, int ipen) {
    if (!ACTIV(canvas, iw, 0)) return;
    int32_t ix = 0;
    int32_t iy = 0;
    TMF(iw, ir, x, y, ix, iy);
    if (ipen == 1) canvas.line_to(low16(ix), low16(iy));
    canvas.move_to(low16(ix), low16(iy));
}

void PIXMOVE(gfx::Canvas& canvas, int iw, int32_t ix, int32_t iy, int ipen) {
    if (!ACTIV(canvas, iw, 0)) return;
    if (ipen == 1) canvas.line_to(low16(ix), low16(iy));
    canvas.move_to(low16(ix), low16(iy));
}

void POINT(gfx::Canvas& canvas, int iw, int ir, float x, float y) {
    if (!ACTIV(canvas, iw, 0)) return;
    int32_t ix = 0;
    int32_t iy = 0;
    TMF(iw, ir, x, y, ix, iy);
    canvas.set_pixel(low16(ix), low16(iy), colour_value(tables().ICOL));
}

}  // namespace plot
