#include "exercises/landolt_ring.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace exercises {

namespace {

constexpr std::array<float, k_acuity_levels> k_acuity_table = {
    0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f, 1.25f, 1.5f, 2.0f, 10.0f};

// Millimetres of a ring for acuity 0.1 seen from 500 cm: outer and inner diameter, gap width,
// and the gap's length, which reaches past the outer edge.
constexpr float k_outer_diameter_mm = 72.5f;
constexpr float k_inner_diameter_mm = 43.5f;
constexpr float k_gap_width_mm = 14.5f;
constexpr float k_gap_length_mm = 76.5f;
constexpr float k_reference_acuity = 0.1f;
constexpr float k_reference_distance_cm = 500.0f;
constexpr float k_mm_per_inch = 25.4f;

bool positive_and_finite(float value) {
    return std::isfinite(value) && value > 0.0f;
}

// A length of the reference ring in pixels: ((millimetres × scale) × 0.5) ÷ pixel size.
float in_pixels(float millimetres, float scale, float pixel_size) {
    return ((millimetres * scale) * 0.5f) / pixel_size;
}

// Sine and cosine of an angle in degrees, correctly rounded to single precision.
float sin_degrees(int degrees) {
    return static_cast<float>(std::sin(degrees * std::numbers::pi / 180.0));
}
float cos_degrees(int degrees) {
    return static_cast<float>(std::cos(degrees * std::numbers::pi / 180.0));
}

}  // namespace

float TOZ(int index) {
    return k_acuity_table.at(static_cast<std::size_t>(index - 1));
}

std::optional<RingSize> ring_size(float A, float DIST, float DIAG, int32_t NX, int32_t NY) {
    if (!positive_and_finite(A) || !positive_and_finite(DIST) || !positive_and_finite(DIAG) ||
        NX <= 0 || NY <= 0) {
        return std::nullopt;
    }
    // The squares are summed in 64 bits: a resolution beyond 46340 would overflow 32.
    const int64_t squares = int64_t{NX} * NX + int64_t{NY} * NY;
    RingSize size;
    size.pixel_size = (k_mm_per_inch * DIAG) / std::sqrt(static_cast<float>(squares));
    size.scale = (k_reference_acuity / A) * (DIST / k_reference_distance_cm);
    size.outer_radius = in_pixels(k_outer_diameter_mm, size.scale, size.pixel_size);
    size.inner_radius = in_pixels(k_inner_diameter_mm, size.scale, size.pixel_size);
    size.half_gap = in_pixels(k_gap_width_mm, size.scale, size.pixel_size);
    size.gap_length = in_pixels(k_gap_length_mm, size.scale, size.pixel_size);
    // Extreme but positive values can still underflow the pixel size or scale to 0 or overflow
    // a length to infinity; such a ring cannot be drawn.
    if (!positive_and_finite(size.pixel_size) || !positive_and_finite(size.scale) ||
        !std::isfinite(size.outer_radius) || !std::isfinite(size.gap_length)) {
        return std::nullopt;
    }
    return size;
}

RingPlacement ring_placement(float side_draw, float tilt_draw) {
    RingPlacement placement;
    if (side_draw > 0.5f) placement.side = k_gap_right;
    if (tilt_draw < 0.333f) placement.tilt = k_tilt_up;
    if (tilt_draw >= 0.667f) placement.tilt = k_tilt_down;
    return placement;
}

RingOutline place_ring(const RingSize& size, int32_t W, int32_t H, int S, int theta) {
    const float centre_x = static_cast<float>(W) * 0.5f;
    const float centre_y = static_cast<float>(H) * 0.5f;
    const float outer = size.outer_radius;
    const float inner = size.inner_radius;
    RingOutline ring;
    ring.outer_disc = {to_pixel(centre_x - outer), to_pixel(centre_y - outer),
                       to_pixel(centre_x + outer), to_pixel(centre_y + outer)};
    ring.inner_disc = {to_pixel(centre_x - inner + 0.5f), to_pixel(centre_y - inner + 0.5f),
                       to_pixel(centre_x + inner - 0.5f), to_pixel(centre_y + inner - 0.5f)};

    // The gap is the rectangle (0, ±g)–(L, ±g) along the x axis, with L negative for a gap on
    // the left, turned by θ about the centre.
    const float length = static_cast<float>(S) * size.gap_length;
    const float half_gap = size.half_gap;
    const float cosine = cos_degrees(theta);
    const float sine = sin_degrees(theta);
    const std::array<std::array<float, 2>, 4> corners = {{
        {0.0f, -half_gap},
        {0.0f, half_gap},
        {length, half_gap},
        {length, -half_gap},
    }};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto [along, across] = corners[i];
        ring.gap[i] = {to_pixel(centre_x + along * cosine - across * sine),
                       to_pixel(centre_y + along * sine + across * cosine)};
    }
    return ring;
}

void draw_ring(gfx::Canvas& canvas, const RingOutline& ring) {
    const PixelBox& outer = ring.outer_disc;
    const PixelBox& inner = ring.inner_disc;
    canvas.set_colour(gfx::k_black);
    canvas.ellipse(gfx::Shape::filled, outer.x1, outer.y1, outer.x2, outer.y2);
    canvas.set_colour(gfx::k_white);
    canvas.ellipse(gfx::Shape::filled, inner.x1, inner.y1, inner.x2, inner.y2);
    canvas.polygon(gfx::Shape::filled, ring.gap);
}

void blank_screen(gfx::Canvas& canvas, int32_t NX, int32_t NY) {
    if (NX < 1 || NY < 1) return;
    canvas.set_colour(gfx::k_white);
    canvas.rectangle(gfx::Shape::filled, 0, 0, to_pixel(static_cast<float>(NX - 1)),
                     to_pixel(static_cast<float>(NY - 1)));
}

int16_t to_pixel(float coordinate) {
    if (std::isnan(coordinate)) return 0;
    constexpr float lowest = std::numeric_limits<int16_t>::min();
    constexpr float highest = std::numeric_limits<int16_t>::max();
    const float rounded = std::round(coordinate);  // halves away from zero
    if (rounded <= lowest) return std::numeric_limits<int16_t>::min();
    if (rounded >= highest) return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(rounded);
}

}  // namespace exercises
