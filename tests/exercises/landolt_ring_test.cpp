#include "exercises/landolt_ring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "gfx/headless/headless_service.h"
#include "plot/page.h"

namespace {

using exercises::k_gap_left;
using exercises::k_gap_right;
using exercises::k_tilt_down;
using exercises::k_tilt_level;
using exercises::k_tilt_up;
using exercises::place_ring;
using exercises::ring_size;
using exercises::RingOutline;
using exercises::RingSize;

constexpr gfx::Colour k_white = 0xFFFFFF;
constexpr gfx::Colour k_black = 0x000000;

// The program's window and screen: 980 × 650 pixels on a 17.7-inch screen of 1024 × 768.
constexpr int32_t k_window_width = 980;
constexpr int32_t k_window_height = 650;
constexpr float k_diagonal = 17.7f;
constexpr int32_t k_screen_width = 1024;
constexpr int32_t k_screen_height = 768;

RingSize default_ring(float acuity) {
    const std::optional<RingSize> size =
        ring_size(acuity, 200.0f, k_diagonal, k_screen_width, k_screen_height);
    EXPECT_TRUE(size.has_value());
    return size.value_or(RingSize{});
}

GTEST_TEST(LandoltRingTest, SizeFollowsThePixelSizeTheDistanceAndTheLevel) {
    // Pixel size 25.4 × 17.7 / 1280 mm; 72.5 : 43.5 : 14.5 : 76.5 mm at level 0.1 from 500 cm.
    struct Case {
        const char* what;
        float acuity;
        float distance;
        float scale, outer, inner, half_gap, gap_length;
    };
    constexpr Case cases[] = {
        {"level 0.1 from 200 cm", 0.1f, 200.0f, 0.4f, 41.28297f, 24.76978f, 8.25660f, 43.56066f},
        {"level 1.0 is ten times smaller", 1.0f, 200.0f, 0.04f, 4.12830f, 2.47698f, 0.82566f,
         4.35607f},
        {"the reference distance gives scale 1", 0.1f, 500.0f, 1.0f, 103.20744f, 61.92446f,
         20.64149f, 108.90164f},
        {"level 1.25", 1.25f, 200.0f, 0.032f, 3.30264f, 1.98158f, 0.66053f, 3.48485f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<RingSize> size =
            ring_size(c.acuity, c.distance, k_diagonal, k_screen_width, k_screen_height);
        ASSERT_TRUE(size.has_value());
        EXPECT_NEAR(size->pixel_size, 0.3512344f, 1e-6f);
        EXPECT_NEAR(size->scale, c.scale, 1e-6f);
        EXPECT_NEAR(size->outer_radius, c.outer, 1e-4f);
        EXPECT_NEAR(size->inner_radius, c.inner, 1e-4f);
        EXPECT_NEAR(size->half_gap, c.half_gap, 1e-4f);
        EXPECT_NEAR(size->gap_length, c.gap_length, 1e-4f);
    }
}

GTEST_TEST(LandoltRingTest, DiscsAreCentredWithTheInnerBoxHalfAPixelInside) {
    const RingOutline ring =
        place_ring(default_ring(0.1f), k_window_width, k_window_height, k_gap_right, k_tilt_level);
    // Outer radius 41.28 and inner radius 24.77 about (490, 325); the inner box is narrowed by
    // half a pixel on every side before rounding.
    EXPECT_EQ(ring.outer_disc.x1, 449);
    EXPECT_EQ(ring.outer_disc.y1, 284);
    EXPECT_EQ(ring.outer_disc.x2, 531);
    EXPECT_EQ(ring.outer_disc.y2, 366);
    EXPECT_EQ(ring.inner_disc.x1, 466);
    EXPECT_EQ(ring.inner_disc.y1, 301);
    EXPECT_EQ(ring.inner_disc.x2, 514);
    EXPECT_EQ(ring.inner_disc.y2, 349);
}

GTEST_TEST(LandoltRingTest, GapCornersForEverySideAndTilt) {
    // The rectangle (0, -g), (0, +g), (L, +g), (L, -g) with g = 8.26 and L = ±43.56, turned
    // about (490, 325); y grows downward.
    struct Case {
        const char* what;
        int side;
        int tilt;
        std::array<gfx::Point, 4> corners;
    };
    const Case cases[] = {
        {"right", k_gap_right, k_tilt_level, {{{490, 317}, {490, 333}, {534, 333}, {534, 317}}}},
        {"left", k_gap_left, k_tilt_level, {{{490, 317}, {490, 333}, {446, 333}, {446, 317}}}},
        {"right turned up",
         k_gap_right,
         k_tilt_up,
         {{{484, 319}, {496, 331}, {527, 300}, {515, 288}}}},
        {"right turned down",
         k_gap_right,
         k_tilt_down,
         {{{496, 319}, {484, 331}, {515, 362}, {527, 350}}}},
        {"left with tilt -45 points down",
         k_gap_left,
         k_tilt_up,
         {{{484, 319}, {496, 331}, {465, 362}, {453, 350}}}},
        {"left with tilt +45 points up",
         k_gap_left,
         k_tilt_down,
         {{{496, 319}, {484, 331}, {453, 300}, {465, 288}}}},
    };
    const RingSize size = default_ring(0.1f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RingOutline ring = place_ring(size, k_window_width, k_window_height, c.side, c.tilt);
        for (std::size_t i = 0; i < c.corners.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(ring.gap[i].x, c.corners[i].x);
            EXPECT_EQ(ring.gap[i].y, c.corners[i].y);
        }
    }
}

class DrawnRingTest : public ::testing::Test {
  protected:
    DrawnRingTest() { plot::PAGE(ws, 1, k_window_height, k_window_width, "Trainer for eyes"); }

    gfx::HeadlessService ws;
};

GTEST_TEST_F(DrawnRingTest, GapCutsTheRingOnItsSideOnly) {
    struct Case {
        const char* what;
        int side;
        int tilt;
    };
    constexpr Case cases[] = {
        {"right", k_gap_right, k_tilt_level},    {"left", k_gap_left, k_tilt_level},
        {"upper right", k_gap_right, k_tilt_up}, {"lower right", k_gap_right, k_tilt_down},
        {"lower left", k_gap_left, k_tilt_up},   {"upper left", k_gap_left, k_tilt_down},
    };
    constexpr float levels[] = {0.1f, 0.4f};
    for (const float level : levels) {
        const RingSize size = default_ring(level);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << " at level " << level);
            ws.set_colour(0x00FF00);
            ws.rectangle(gfx::Shape::filled, 0, 0, 979, 649);
            exercises::draw_ring(ws,
                                 place_ring(size, k_window_width, k_window_height, c.side, c.tilt));

            // One pixel in from the outer edge, along the gap's axis and across it.
            const double angle = c.tilt * 3.14159265358979 / 180.0;
            const double reach = size.outer_radius - 1.5;
            const double along_x = c.side * std::cos(angle) * reach;
            const double along_y = c.side * std::sin(angle) * reach;
            const auto at = [&](double dx, double dy) {
                return ws.pixel(static_cast<int>(std::lround(490 + dx)),
                                static_cast<int>(std::lround(325 + dy)));
            };
            EXPECT_EQ(at(along_x, along_y), k_white) << "in the gap";
            EXPECT_EQ(at(-along_x, -along_y), k_black) << "opposite the gap";
            EXPECT_EQ(at(-along_y, along_x), k_black) << "a quarter turn from the gap";
            EXPECT_EQ(at(along_y, -along_x), k_black) << "the other quarter turn";
            EXPECT_EQ(at(0, 0), k_white) << "centre";
            EXPECT_EQ(at(0, -(size.outer_radius + 2)), 0x00FF00u) << "above the ring";
            EXPECT_EQ(at(0, size.outer_radius + 2), 0x00FF00u) << "below the ring";
        }
    }
}

GTEST_TEST_F(DrawnRingTest, BlankScreenCoversTheResolutionNotTheWindow) {
    struct Case {
        const char* what;
        int32_t nx, ny;
        bool far_corner_blank;
    };
    constexpr Case cases[] = {
        {"a screen larger than the window blanks all of it", 1024, 768, true},
        {"a smaller screen leaves the rest as it was", 640, 480, false},
        {"a resolution beyond 16 bits does not wrap around", 65636, 65636, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws.set_colour(k_black);
        ws.rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        exercises::blank_screen(ws, c.nx, c.ny);
        EXPECT_EQ(ws.pixel(0, 0), k_white);
        EXPECT_EQ(ws.pixel(std::min(c.nx, 980) - 1, std::min(c.ny, 650) - 1), k_white);
        EXPECT_EQ(ws.pixel(979, 649), c.far_corner_blank ? k_white : k_black);
        // The blank ends at column NX - 1 and row NY - 1.
        if (c.nx < 980) {
            EXPECT_EQ(ws.pixel(c.nx, 0), k_black);
            EXPECT_EQ(ws.pixel(c.nx, c.ny - 1), k_black);
        }
        if (c.ny < 650) {
            EXPECT_EQ(ws.pixel(0, c.ny), k_black);
            EXPECT_EQ(ws.pixel(c.nx - 1, c.ny), k_black);
        }
    }
}

GTEST_TEST(LandoltRingTest, PixelsRoundHalvesAwayFromZeroAndStopAtSixteenBits) {
    struct Case {
        const char* what;
        float value;
        int16_t pixel;
    };
    const Case cases[] = {
        {"half up", 2.5f, 3},
        {"half down away from zero", -2.5f, -3},
        {"even half not to even", 490.5f, 491},
        {"below half", 2.49f, 2},
        {"negative below half", -0.49f, 0},
        {"largest", 32767.4f, 32767},
        {"beyond the largest", 1.0e9f, 32767},
        {"beyond the smallest", -1.0e9f, -32768},
        {"infinity", std::numeric_limits<float>::infinity(), 32767},
        {"not a number", std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(exercises::to_pixel(c.value), c.pixel);
    }
}

GTEST_TEST(LandoltRingTest, ParametersThatCannotSizeARingGiveNone) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float infinity = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        float acuity, distance, diagonal;
        int32_t nx, ny;
    };
    constexpr Case cases[] = {
        {"no resolution", 0.1f, 200.0f, 17.7f, 0, 0},
        {"no pixels across", 0.1f, 200.0f, 17.7f, 0, 768},
        {"negative rows", 0.1f, 200.0f, 17.7f, 1024, -768},
        {"no diagonal", 0.1f, 200.0f, 0.0f, 1024, 768},
        {"no diagonal and no resolution", 0.1f, 200.0f, 0.0f, 0, 0},
        {"no distance", 0.1f, 0.0f, 17.7f, 1024, 768},
        {"negative distance would flip the gap", 0.1f, -200.0f, 17.7f, 1024, 768},
        {"acuity 0", 0.0f, 200.0f, 17.7f, 1024, 768},
        {"diagonal not a number", 0.1f, 200.0f, nan, 1024, 768},
        {"infinite distance", 0.1f, infinity, 17.7f, 1024, 768},
        {"a diagonal so small the radius overflows", 0.1f, 200.0f, 1.0e-38f, 1024, 768},
        {"a distance so small the scale underflows", 2.0f, 1.0e-44f, 17.7f, 1024, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(ring_size(c.acuity, c.distance, c.diagonal, c.nx, c.ny).has_value());
    }
}

GTEST_TEST(LandoltRingTest, HugeButFiniteRingsStopAtTheSixteenBitLimits) {
    // From 10 km the ring is far larger than any window: the window lies inside its hole.
    const std::optional<RingSize> size =
        ring_size(0.1f, 1.0e6f, k_diagonal, k_screen_width, k_screen_height);
    ASSERT_TRUE(size.has_value());
    const RingOutline ring =
        place_ring(*size, k_window_width, k_window_height, k_gap_right, k_tilt_down);
    EXPECT_EQ(ring.outer_disc.x1, -32768);
    EXPECT_EQ(ring.outer_disc.x2, 32767);
    EXPECT_EQ(ring.inner_disc.y1, -32768);
    EXPECT_EQ(ring.inner_disc.y2, 32767);
    EXPECT_EQ(ring.gap[2].x, 32767);
    EXPECT_EQ(ring.gap[2].y, 32767);

    gfx::HeadlessService ws;
    plot::PAGE(ws, 1, k_window_height, k_window_width, "Trainer for eyes");
    exercises::draw_ring(ws, ring);
    EXPECT_EQ(ws.pixel(0, 0), k_white);
    EXPECT_EQ(ws.pixel(979, 649), k_white);
}

}  // namespace
