#pragma once

#include <cstdint>

#include "state/shared_state.h"

namespace app {

// The one description of the start screen pattern that both drawing modes follow.

// Calls run(x_first, x_last, white) for every stripe of window row y, left to right: stripe K
// covers x = (K - 1)·S + 1 .. K·S and is white when K + y is odd. Column 0 and the columns
// beyond the last whole stripe belong to no run. Runs may end beyond the window's width.
template <typename Run>
void for_each_background_run(int32_t S, int32_t window_width, int32_t y, Run&& run) {
    if (S <= 0) return;
    const int32_t stripes = window_width / S;
    for (int32_t K = 1; K <= stripes; ++K) {
        run((K - 1) * S + 1, K * S, (K + y) % 2 != 0);
    }
}

// Calls pixel(x, y, white) for every pixel of figure S placed at column offset XOFF, point by
// point, across then down inside each 2S × 2S block (white at top left and bottom right), and
// point_done() after each point. Coordinates are 64-bit, so no figure data can overflow them;
// the caller skips what lies outside its window.
template <typename Pixel, typename PointDone>
void for_each_figure_pixel(const state::FigureTables& figures, int32_t S, int32_t XOFF,
                           Pixel&& pixel, PointDone&& point_done) {
    if (S < 1 || S > state::k_figures) return;
    const int32_t points = figures.count(S);
    const int32_t stored = points < state::k_max_points ? points : state::k_max_points;
    for (int32_t P = 1; P <= stored; ++P) {
        const int64_t R = figures.row(P, S);
        const int64_t C = figures.column(P, S);
        for (int32_t i = 1; i <= 2 * S; ++i) {
            for (int32_t j = 1; j <= 2 * S; ++j) {
                const bool white = (i <= S && j <= S) || (i > S && j > S);
                pixel(C + XOFF + i, R + j, white);
            }
        }
        if (!point_done()) return;
    }
}

}  // namespace app
