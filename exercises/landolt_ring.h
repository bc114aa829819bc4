#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "gfx/canvas.h"
#include "gfx/types.h"

namespace exercises {

// The acuity levels of the sight check, TOZ(1) to TOZ(15): 0.0 is the result for a user who
// does not see the largest ring, 10.0 only bounds the search and is never shown.
constexpr int k_acuity_levels = 15;
float TOZ(int index);

// The size of a Landolt ring for one acuity level, in single precision. Outer diameter, inner
// diameter and gap width are in the proportions 5 : 3 : 1; the gap runs from the centre past
// the outer edge so that it cuts the ring through.
struct RingSize {
    float pixel_size = 0;    // millimetres per screen pixel
    float scale = 0;         // 1 for acuity 0.1 seen from 500 cm
    float outer_radius = 0;  // pixels
    float inner_radius = 0;  // pixels
    float half_gap = 0;      // half the gap width, pixels
    float gap_length = 0;    // from the centre outward, pixels
};

// The ring for acuity A seen from DIST centimetres on a screen of DIAG inches with NX × NY
// pixels. Empty when these cannot size a ring: a distance, diagonal or resolution that is not
// positive, or values so extreme that a length is not a finite number.
std::optional<RingSize> ring_size(float A, float DIST, float DIAG, int32_t NX, int32_t NY);

// Corners of a disc's box as the ellipse operation takes them; the filled disc covers the
// x2 - x1 by y2 - y1 pixels between them.
struct PixelBox {
    int16_t x1 = 0;
    int16_t y1 = 0;
    int16_t x2 = 0;
    int16_t y2 = 0;
};

// One presentation of a ring in window pixels: a black outer disc, a white inner disc and a
// white four-cornered gap.
struct RingOutline {
    PixelBox outer_disc;
    PixelBox inner_disc;
    std::array<gfx::Point, 4> gap;
};

// Gap sides S and tilts θ (degrees) of a presentation. As y grows downward, a tilt of +45 turns
// a right gap to the lower right and a left gap to the upper left.
constexpr int k_gap_left = -1;
constexpr int k_gap_right = 1;
constexpr int k_tilt_up = -45;
constexpr int k_tilt_level = 0;
constexpr int k_tilt_down = 45;

// The gap side and tilt of a presentation from its two draws of RAN11: on the right when the
// first exceeds 0.5; turned up when the second is below 0.333, down when it is 0.667 or more
// (both thresholds single-precision constants).
struct RingPlacement {
    int side = k_gap_left;
    int tilt = k_tilt_level;
};
RingPlacement ring_placement(float side_draw, float tilt_draw);

// The ring centred in a window of W × H pixels with its gap on side S, turned by θ degrees.
RingOutline place_ring(const RingSize& size, int32_t W, int32_t H, int S, int theta);

// Draws the ring over whatever the window shows; it leaves the drawing colour white.
void draw_ring(gfx::Canvas& canvas, const RingOutline& ring);

// Fills the rectangle (0, 0)–(NX − 1, NY − 1) of the screen's resolution white. A resolution
// below the window's size leaves the rest of the window as it was.
void blank_screen(gfx::Canvas& canvas, int32_t NX, int32_t NY);

// A coordinate as a 16-bit pixel: rounded to the nearest integer with halves away from zero,
// held at the 16-bit limits when beyond them (0 for a value that is not a number).
int16_t to_pixel(float coordinate);

}  // namespace exercises
