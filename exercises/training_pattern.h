#pragma once

#include <cstdint>

#include "state/shared_state.h"

namespace exercises {

// The one description of the checker patterns: the training frame's field and figure, and the
// start screen's grating and figure, which follow the same rules. The image path and the direct
// path of both pictures draw from it, so they put every pixel at the same place.

// Calls run(x_first, x_last, white) for every cell of row y, left to right: cell c covers
// x = (c - 1)·K + 1 .. c·K and is white when c + y is odd. Column 0 and the columns beyond the
// last whole cell belong to no run. Runs may end beyond the window's width.
template <typename Run>
void for_each_field_run(int32_t K, int32_t window_width, int32_t y, Run&& run) {
    if (K <= 0) return;
    const int32_t cells = window_width / K;
    for (int32_t cell = 1; cell <= cells; ++cell) {
        run((cell - 1) * K + 1, cell * K, (cell + y) % 2 != 0);
    }
}

// Calls pixel(x, y, white) for every pixel of figure K placed at column offset xoff, point by
// point, across then down inside each 2K × 2K block (white at top left and bottom right), and
// point_done() after each point; a false from point_done stops the figure. Coordinates are
// 64-bit, so no figure data can overflow them; the caller skips what lies outside its window.
template <typename Pixel, typename PointDone>
void for_each_figure_pixel(const state::FigureTables& figures, int32_t K, int32_t xoff,
                           Pixel&& pixel, PointDone&& point_done) {
    if (K < 1 || K > state::k_figures) return;
    const int32_t points = figures.count(K);
    const int32_t stored = points < state::k_max_points ? points : state::k_max_points;
    for (int32_t point = 1; point <= stored; ++point) {
        const int64_t row = figures.row(point, K);
        const int64_t column = figures.column(point, K);
        for (int32_t across = 1; across <= 2 * K; ++across) {
            for (int32_t down = 1; down <= 2 * K; ++down) {
                const bool white = (across <= K && down <= K) || (across > K && down > K);
                pixel(column + xoff + across, row + down, white);
            }
        }
        if (!point_done()) return;
    }
}

// Where the figure of one presentation goes.
struct FigurePlacement {
    bool right = false;
    int32_t xoff = 0;  // column offset: 20 or 450 rounded down to a multiple of K
};

// Draws RAN11 once: right when the value is above 0.5. The quotient X0 / K is taken in single
// precision and truncated toward zero. A size below 1 has no figure and gets offset 0.
FigurePlacement place_figure(int32_t K);

}  // namespace exercises
