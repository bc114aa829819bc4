#include "exercises/landolt_ring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <set>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"

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

GTEST_TEST(LandoltRingTest, CornersAreComputedInSinglePrecision) {
    // Cases where single and double precision round a corner to different pixels: the single
    // value of the coordinate lies on a half, the double one just below it.
    struct Case {
        const char* what;
        float acuity, distance;
        int side;
        int corner;
        int16_t x;  // the pixel in double precision is one less
    };
    constexpr Case cases[] = {
        // L = 11.500012 in single precision: 490 - L is 478.5 there, 478.49999 in double.
        {"level 0.5 from 264 cm, left gap, far corner", 0.5f, 264.0f, k_gap_left, 2, 479},
        {"the same, its other far corner", 0.5f, 264.0f, k_gap_left, 3, 479},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<RingSize> size =
            ring_size(c.acuity, c.distance, k_diagonal, k_screen_width, k_screen_height);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(size->gap_length, 0x1.70001ap+3f) << "L bit for bit";
        const RingOutline ring =
            place_ring(*size, k_window_width, k_window_height, c.side, k_tilt_level);
        EXPECT_EQ(ring.gap[c.corner].x, c.x);
    }
}

GTEST_TEST(LandoltRingTest, SideAndTiltThresholdsAreSingleConstants) {
    // 0.667f lies just below 0.667, so a draw of exactly 0.667f already turns the gap down, as it
    // would not against the double 0.667; a draw of 0.333f is not below 0.333f and stays level.
    struct Case {
        const char* what;
        float side_draw, tilt_draw;
        int side, tilt;
    };
    const Case cases[] = {
        {"exactly 0.5 is still left", 0.5f, 0.5f, k_gap_left, k_tilt_level},
        {"just above 0.5 is right", std::nextafter(0.5f, 1.0f), 0.5f, k_gap_right, k_tilt_level},
        {"just below 0.333 turns up", 0.0f, std::nextafter(0.333f, 0.0f), k_gap_left, k_tilt_up},
        {"exactly 0.333 stays level", 0.0f, 0.333f, k_gap_left, k_tilt_level},
        {"just below 0.667 stays level", 1.0f, std::nextafter(0.667f, 0.0f), k_gap_right,
         k_tilt_level},
        {"exactly 0.667 turns down", 1.0f, 0.667f, k_gap_right, k_tilt_down},
        {"the smallest draw", 0.0f, 0.0f, k_gap_left, k_tilt_up},
        {"the largest draw", 1.0f, 1.0f, k_gap_right, k_tilt_down},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const exercises::RingPlacement placement =
            exercises::ring_placement(c.side_draw, c.tilt_draw);
        EXPECT_EQ(placement.side, c.side);
        EXPECT_EQ(placement.tilt, c.tilt);
    }
}

class DrawnRingTest : public ::testing::Test {
  protected:
    DrawnRingTest() { testing_support::open_trainer(canvas); }

    gfx::HeadlessPlatform canvas;
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
            canvas.canvas().set_colour(0x00FF00);
            canvas.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
            exercises::draw_ring(canvas.canvas(),
                                 place_ring(size, k_window_width, k_window_height, c.side, c.tilt));

            // One pixel in from the outer edge, along the gap's axis and across it.
            const double angle = c.tilt * 3.14159265358979 / 180.0;
            const double reach = size.outer_radius - 1.5;
            const double along_x = c.side * std::cos(angle) * reach;
            const double along_y = c.side * std::sin(angle) * reach;
            const auto at = [&](double dx, double dy) {
                return canvas.pixel(static_cast<int>(std::lround(490 + dx)),
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

// What a viewer counts on the drawn ring: the pixels of a column or a row that show the ring
// (anything but the background) or its white hole and gap.
class RingCount {
  public:
    RingCount(const gfx::HeadlessPlatform& canvas, gfx::Colour background)
        : canvas_(canvas), background_(background) {}

    int ring_in_column(int x) const {
        return count_column(x, [&](gfx::Colour c) { return c != background_; });
    }
    int white_in_column(int x) const {
        return count_column(x, [](gfx::Colour c) { return c == k_white; });
    }
    int ring_in_row(int y) const {
        return count_row(y, [&](gfx::Colour c) { return c != background_; });
    }
    int white_in_row(int y) const {
        return count_row(y, [](gfx::Colour c) { return c == k_white; });
    }

    // The width of a gap turned by 45 degrees, in steps of half a diagonal, across the gap near
    // (x, y): the number of lines parallel to the gap through white pixels there. Two neighbouring
    // diagonals across the gap meet every such line.
    int diagonal_gap_lines(int x, int y, int along_x, int along_y) const {
        std::set<int> lines;
        for (int k = -40; k <= 40; ++k) {
            for (int shift = 0; shift <= 1; ++shift) {
                const int px = x + shift - k * along_y;
                const int py = y + k * along_x;
                if (canvas_.pixel(px, py) == k_white) lines.insert(along_y * px - along_x * py);
            }
        }
        return static_cast<int>(lines.size());
    }

  private:
    template <typename Test>
    int count_column(int x, Test test) const {
        int count = 0;
        for (int y = 0; y < k_window_height; ++y) count += test(canvas_.pixel(x, y));
        return count;
    }
    template <typename Test>
    int count_row(int y, Test test) const {
        int count = 0;
        for (int x = 0; x < k_window_width; ++x) count += test(canvas_.pixel(x, y));
        return count;
    }

    const gfx::HeadlessPlatform& canvas_;
    gfx::Colour background_;
};

GTEST_TEST_F(DrawnRingTest, DrawnRingHasTheSizeOfItsRoundedCoordinates) {
    // Each size counted on the screen equals the distance between the rounded coordinates it
    // was drawn from: no pixel more. The discs are counted through the centre along an axis
    // the gap does not run on; a level gap across its middle, a turned one along diagonals.
    struct SetUp {
        const char* what;
        float distance, diagonal;
        int32_t nx, ny;
    };
    constexpr SetUp set_ups[] = {
        {"200 cm, 17.7 in, 1024 x 768", 200.0f, 17.7f, 1024, 768},
        {"300 cm, 24 in, 1920 x 1080", 300.0f, 24.0f, 1920, 1080},
        {"150 cm, 13.3 in, 1280 x 800", 150.0f, 13.3f, 1280, 800},
    };
    struct Turn {
        const char* what;
        int side, tilt;
    };
    constexpr Turn turns[] = {
        {"right", k_gap_right, k_tilt_level},    {"left", k_gap_left, k_tilt_level},
        {"upper right", k_gap_right, k_tilt_up}, {"lower right", k_gap_right, k_tilt_down},
        {"lower left", k_gap_left, k_tilt_up},   {"upper left", k_gap_left, k_tilt_down},
    };
    constexpr float levels[] = {0.1f, 0.5f, 1.0f, 2.0f};
    constexpr gfx::Colour k_background = 0x00FF00;
    constexpr int k_centre_x = 490;
    constexpr int k_centre_y = 325;
    const RingCount count(canvas, k_background);
    for (const SetUp& set_up : set_ups) {
        for (const float level : levels) {
            const std::optional<RingSize> size =
                ring_size(level, set_up.distance, set_up.diagonal, set_up.nx, set_up.ny);
            ASSERT_TRUE(size.has_value());
            for (const Turn& turn : turns) {
                SCOPED_TRACE(testing::Message()
                             << set_up.what << ", level " << level << ", " << turn.what);
                canvas.canvas().set_colour(k_background);
                canvas.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
                const RingOutline ring =
                    place_ring(*size, k_window_width, k_window_height, turn.side, turn.tilt);
                exercises::draw_ring(canvas.canvas(), ring);
                const exercises::PixelBox& outer = ring.outer_disc;
                const exercises::PixelBox& inner = ring.inner_disc;

                EXPECT_EQ(count.ring_in_column(k_centre_x), outer.y2 - outer.y1) << "outer";
                if (turn.tilt == k_tilt_level) {
                    EXPECT_EQ(count.white_in_column(k_centre_x), inner.y2 - inner.y1) << "inner";
                } else {
                    EXPECT_EQ(count.ring_in_row(k_centre_y), outer.x2 - outer.x1) << "outer";
                    EXPECT_EQ(count.white_in_row(k_centre_y), inner.x2 - inner.x1) << "inner";
                }

                // Halfway through the ring along the gap.
                const double reach = (size->outer_radius + size->inner_radius) / 2;
                const int along_x = turn.side;
                const int along_y = turn.side * (turn.tilt / 45);
                const int middle_x =
                    k_centre_x +
                    static_cast<int>(std::lround(along_x * reach * (along_y ? M_SQRT1_2 : 1)));
                const int middle_y =
                    k_centre_y + static_cast<int>(std::lround(along_y * reach * M_SQRT1_2));
                if (turn.tilt == k_tilt_level) {
                    EXPECT_EQ(count.white_in_column(middle_x), ring.gap[1].y - ring.gap[0].y)
                        << "gap";
                    continue;
                }
                // A turned gap narrower than two pixels is a staircase of single pixels whose
                // count across depends on where it is taken.
                if (2 * size->half_gap < 2.0f) continue;
                // The gap's edges run from its corners at the centre to those beyond the ring;
                // each corner rounds on its own, so the width across may change along it.
                const auto lines_between = [&](gfx::Point a, gfx::Point b) {
                    return std::abs(along_y * (a.x - b.x) - along_x * (a.y - b.y));
                };
                const int at_centre = lines_between(ring.gap[0], ring.gap[1]);
                const int beyond = lines_between(ring.gap[3], ring.gap[2]);
                const int drawn = count.diagonal_gap_lines(middle_x, middle_y, along_x, along_y);
                EXPECT_GE(drawn, std::min(at_centre, beyond)) << "gap";
                EXPECT_LE(drawn, std::max(at_centre, beyond)) << "gap";
            }
        }
    }
}

GTEST_TEST_F(DrawnRingTest, GapAtTheFirstLevelSubtendsTenMinutesOfArc) {
    // At level 0.1 the gap subtends 10 minutes of arc; its drawn width may miss that by the
    // rounding of its corners, less than one pixel.
    struct SetUp {
        const char* what;
        float distance, diagonal;
        int32_t nx, ny;
        int gap_pixels;
    };
    constexpr SetUp set_ups[] = {
        {"200 cm, 17.7 in, 1024 x 768", 200.0f, 17.7f, 1024, 768, 16},
        {"300 cm, 24 in, 1920 x 1080", 300.0f, 24.0f, 1920, 1080, 32},
        {"150 cm, 13.3 in, 1280 x 800", 150.0f, 13.3f, 1280, 800, 20},
    };
    constexpr double k_minutes_per_radian = 180.0 * 60.0 / 3.14159265358979;
    for (const SetUp& set_up : set_ups) {
        SCOPED_TRACE(set_up.what);
        const std::optional<RingSize> size =
            ring_size(0.1f, set_up.distance, set_up.diagonal, set_up.nx, set_up.ny);
        ASSERT_TRUE(size.has_value());
        canvas.canvas().set_colour(k_black);
        canvas.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        exercises::draw_ring(canvas.canvas(), place_ring(*size, k_window_width, k_window_height,
                                                         k_gap_right, k_tilt_level));
        // The column halfway through the ring's right side crosses the gap only.
        const int middle_x = 490 + static_cast<int>((size->outer_radius + size->inner_radius) / 2);
        int white = 0;
        for (int y = 0; y < k_window_height; ++y) white += canvas.pixel(middle_x, y) == k_white;
        EXPECT_EQ(white, set_up.gap_pixels);

        const double millimetres_per_pixel =
            25.4 * set_up.diagonal / std::hypot(double(set_up.nx), double(set_up.ny));
        const double distance_mm = set_up.distance * 10.0;
        const double minutes = white * millimetres_per_pixel / distance_mm * k_minutes_per_radian;
        const double one_pixel = millimetres_per_pixel / distance_mm * k_minutes_per_radian;
        EXPECT_NEAR(minutes, 10.0, one_pixel);
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
        canvas.canvas().set_colour(k_black);
        canvas.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        exercises::blank_screen(canvas.canvas(), c.nx, c.ny);
        EXPECT_EQ(canvas.pixel(0, 0), k_white);
        EXPECT_EQ(canvas.pixel(std::min(c.nx, 980) - 1, std::min(c.ny, 650) - 1), k_white);
        EXPECT_EQ(canvas.pixel(979, 649), c.far_corner_blank ? k_white : k_black);
        // The blank ends at column NX - 1 and row NY - 1.
        if (c.nx < 980) {
            EXPECT_EQ(canvas.pixel(c.nx, 0), k_black);
            EXPECT_EQ(canvas.pixel(c.nx, c.ny - 1), k_black);
        }
        if (c.ny < 650) {
            EXPECT_EQ(canvas.pixel(0, c.ny), k_black);
            EXPECT_EQ(canvas.pixel(c.nx - 1, c.ny), k_black);
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

    gfx::HeadlessPlatform canvas;
    testing_support::open_trainer(canvas);
    exercises::draw_ring(canvas.canvas(), ring);
    EXPECT_EQ(canvas.pixel(0, 0), k_white);
    EXPECT_EQ(canvas.pixel(979, 649), k_white);
}

}  // namespace
