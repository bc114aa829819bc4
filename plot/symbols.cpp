#include "plot/symbols.h"

#include <array>
#include <cstdint>
#include <utility>

#include "plot/page.h"
#include "plot/pen.h"
#include "plot/plot_state.h"
#include "plot/transforms.h"

namespace plot {

namespace {

struct FontStep {
    float largest_scaled_size;  // the step serves scaled sizes up to this one
    std::string_view options;
};

// Chosen by 1.5 times the nominal size; larger sizes take the last font.
constexpr std::array<FontStep, 9> k_font_steps{{
    {4.0f, "t'Times New Roman Cyr'h4w3b"},
    {6.0f, "t'Times New Roman Cyr'h12w4b"},
    {8.0f, "t'Times New Roman Cyr'h16w5b"},
    {10.0f, "t'Times New Roman Cyr'h20w6b"},
    {12.0f, "t'Times New Roman Cyr'h24w7b"},
    {15.0f, "t'Times New Roman Cyr'h28w8b"},
    {20.0f, "t'Times New Roman Cyr'h36w10b"},
    {30.0f, "t'Times New Roman Cyr'h52w18b"},
    {50.0f, "t'Times New Roman Cyr'h96w30b"},
}};
constexpr std::string_view k_largest_font = "t'Times New Roman Cyr'h120w40b";

constexpr int k_upward_tenths = 900;

// One stroke of a marker: a pen-up move to the first pixel, a pen-down move to the second.
void pixel_stroke(gfx::Canvas& canvas, int iw, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    PIXMOVE(canvas, iw, static_cast<int32_t>(x1), static_cast<int32_t>(y1), 0);
    PIXMOVE(canvas, iw, static_cast<int32_t>(x2), static_cast<int32_t>(y2), 1);
}

}  // namespace

std::string_view symbol_font(float size) {
    const float scaled = 1.5f * size;
    for (const FontStep& step : k_font_steps) {
        if (scaled <= step.largest_scaled_size) return step.options;
    }
    return k_largest_font;
}

void SYMBOL(gfx::Canvas& canvas, int iw, float x, float y, float size, float angle,
            std::string text) {
    if (!ACTIV(canvas, iw, 0)) return;
    const PageView page = page_view(iw);
    const float page_width = page.page_width;
    const float page_height = page.page_height;
    const float window_width = page.window_width;
    const float window_height = page.window_height;

    // The row scales by the full window height, so page y 0 is the row just below the window.
    const int32_t column = truncate_toward_zero((x * window_width) / page_width);
    const int32_t row = truncate_toward_zero(window_height - (y * window_height) / page_height);

    // The platform refuses fonts until they are prepared for the window; after the last refusal
    // the text is still written, in the window's current font.
    const std::string options(symbol_font(size));
    for (int attempt = 0; attempt < k_font_attempts && canvas.set_font(options) == -1; ++attempt) {
        canvas.set_text_rotation(k_upward_tenths);
    }

    canvas.set_text_rotation(truncate_toward_zero(10.0f * angle));
    canvas.move_to(low16(column), low16(row));
    SETCOL(canvas, tables().ICOL);
    canvas.out_text(text);
    canvas.set_text_rotation(0);
}

void MARKER(gfx::Canvas& canvas, int iw, int ir, float x, float y, int itype, float size) {
    int32_t cx = 0;
    int32_t cy = 0;
    TMF(iw, ir, x, y, cx, cy);
    const PageView page = page_view(iw);
    const int32_t extent_x = truncate_toward_zero((size * page.window_width) / page.page_width);
    const int32_t extent_y = truncate_toward_zero((size * page.window_height) / page.page_height);

    // 64-bit sums: a huge size must not overflow; the platform takes the low 16 bits anyway.
    const int64_t centre_x = cx;
    const int64_t centre_y = cy;
    switch (itype) {
        case 2:
        case 3: {
            const int64_t half_x = truncate_toward_zero(static_cast<float>(extent_x) * 0.5f);
            const int64_t half_y = truncate_toward_zero(static_cast<float>(extent_y) * 0.5f);
            pixel_stroke(canvas, iw, centre_x - half_x, centre_y, centre_x + half_x, centre_y);
            pixel_stroke(canvas, iw, centre_x, centre_y - half_y, centre_x, centre_y + half_y);
            if (itype == 2) break;
            const int64_t diagonal_x = truncate_toward_zero(static_cast<float>(extent_x) / 2.8f);
            const int64_t diagonal_y = truncate_toward_zero(static_cast<float>(extent_y) / 2.8f);
            pixel_stroke(canvas, iw, centre_x - diagonal_x, centre_y - diagonal_y,
                         centre_x + diagonal_x, centre_y + diagonal_y);
            pixel_stroke(canvas, iw, centre_x - diagonal_x, centre_y + diagonal_y,
                         centre_x + diagonal_x, centre_y - diagonal_y);
            break;
        }
        case 4:
        case 5:
        case 6:
            // Reserved marks: nothing is drawn in the box of extent_x by extent_y pixels.
            break;
        default:
            POINT(canvas, iw, ir, x, y);
            break;
    }
}

}  // namespace plot
