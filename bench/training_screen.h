#pragma once

#include <cstdint>
#include <optional>

#include "bench/x_screen.h"

namespace bench {

// What the training looks like on the screen, read as a person would read it.

// The two bars above the stimulus: the progress bar (rows 0-9) is all blue until the first
// answer window; the signal bar (rows 10-19) is red, and green while an answer is awaited.
constexpr Rgb k_progress_to_do{0, 0, 255};
constexpr Rgb k_signal_idle{255, 0, 0};
constexpr Rgb k_signal_waiting{0, 255, 0};
constexpr int k_surface_width = 980;
constexpr int k_surface_height = 650;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The screen position of the training surface's top-left pixel: the first corner, in reading
// order, of a blue bar ten rows high with the red bar right below it.
std::optional<ScreenPoint> find_surface(const ScreenPicture& screen);

// A pixel in the middle of the signal bar of the surface at `surface`.
ScreenPoint signal_point(ScreenPoint surface);

// Whether the figure of the frame shown stands on the right half: the field alternates colour
// from row to row in every column, while the figure's blocks keep a colour for K rows, so the
// half with more vertically equal neighbours holds the figure.
bool figure_on_right(XScreen& screen, ScreenPoint surface);

// A change seen on the screen: it happened between the last read that did not show it and
// the first that did; at_ns is the middle of the two readings, bracket_ns their distance (the
// largest int64_t when the first read showed it already).
struct SeenChange {
    int64_t at_ns = 0;
    int64_t bracket_ns = 0;
};

// Reads one pixel every interval_ns until it shows `colour`; nullopt after timeout_ns.
std::optional<SeenChange> wait_for_colour(XScreen& screen, ScreenPoint where, Rgb colour,
                                          int64_t timeout_ns, int64_t interval_ns);

}  // namespace bench
