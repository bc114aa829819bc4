#include "plot/transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "plot/page.h"
#include "plot_fixture.h"

namespace {

using plot_test::PlotRegion;

constexpr float k_nan = std::numeric_limits<float>::quiet_NaN();
constexpr float k_infinity = std::numeric_limits<float>::infinity();
constexpr float k_largest = std::numeric_limits<float>::max();
constexpr int32_t k_int_min = std::numeric_limits<int32_t>::min();
constexpr int32_t k_int_max = std::numeric_limits<int32_t>::max();

struct PixelCase {
    const char* what;
    float x, y;
    int32_t ix, iy;
};

void expect_tmf(int ir, const PixelCase& c) {
    SCOPED_TRACE(c.what);
    int32_t ix = -1;
    int32_t iy = -1;
    plot::TMF(1, ir, c.x, c.y, ix, iy);
    EXPECT_EQ(ix, c.ix);
    EXPECT_EQ(iy, c.iy);
}

GTEST_TEST(Truncation, GoesTowardZeroAndSaturates) {
    struct Case {
        const char* what;
        float value;
        int32_t expected;
    };
    const Case cases[] = {
        {"positive fraction", 2.9f, 2},
        {"negative fraction", -2.9f, -2},
        {"largest float below 2^31", 2147483520.0f, 2147483520},
        {"-2^31 itself fits", -2147483648.0f, k_int_min},
        {"2^31 saturates", 2147483648.0f, k_int_max},
        {"far above", 1e20f, k_int_max},
        {"far below", -1e20f, k_int_min},
        {"infinity", k_infinity, k_int_max},
        {"minus infinity", -k_infinity, k_int_min},
        {"not a number gives the most negative value", k_nan, k_int_min},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(plot::truncate_toward_zero(c.value), c.expected);
    }
}

using TransformTest = PlotRegion;

GTEST_TEST_F(TransformTest, WorldToPixelMapsLimitsOntoTheFrameAndClipsOutsidePoints) {
    const PixelCase cases[] = {
        {"lower limits on the bottom-left corner", 0.0f, 0.0f, 40, 252},
        {"upper limits on the top-right corner", 10.0f, 1.0f, 937, 35},
        {"centre, rounded by adding 0.5", 5.0f, 0.5f, 489, 144},
        {"above and left of the limits", -3.0f, 2.0f, 40, 35},
        {"right of and below the limits", 20.0f, -1.0f, 937, 252},
    };
    for (const PixelCase& c : cases) expect_tmf(1, c);
}

GTEST_TEST_F(TransformTest, PixelToWorldIsClampedToTheLimits) {
    struct Case {
        const char* what;
        int32_t ix, iy;
        float x, y;
    };
    const Case cases[] = {
        {"bottom-left corner", 40, 252, 0.0f, 0.0f},
        {"top-right corner", 937, 35, 10.0f, 1.0f},
        {"window corner above and left of the frame", 0, 0, 0.0f, 1.0f},
        {"far right and below", 5000, 5000, 10.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        float x = -1.0f;
        float y = -1.0f;
        plot::TFM(1, 1, c.ix, c.iy, x, y);
        EXPECT_FLOAT_EQ(x, c.x);
        EXPECT_FLOAT_EQ(y, c.y);
    }
}

GTEST_TEST_F(TransformTest, LimitsAndLayoutMayComeInEitherOrderAndLimitsRescale) {
    plot::LIMITS(1, 3, 0.0f, 10.0f, 0.0f, 1.0f);
    plot::REGION(canvas.canvas(), 1, 3, 10.0f, 110.0f, 220.0f, 60.0f);
    expect_tmf(3, {"limits set before the layout survive it", 5.0f, 0.5f, 489, 144});

    plot::LIMITS(1, 3, 0.0f, 20.0f, 0.0f, 2.0f);
    expect_tmf(3, {"new limits re-scale the region", 10.0f, 1.0f, 489, 144});
}

GTEST_TEST_F(TransformTest, DegenerateWorldPointsLandOnTheFrame) {
    const PixelCase ordinary_limits[] = {
        {"not a number: left column, top row", k_nan, k_nan, 40, 35},
        {"far right and up", 1e30f, 1e30f, 937, 35},
        {"far left and down", -1e30f, -1e30f, 40, 252},
        {"largest float, whose pixel overflows", k_largest, -k_largest, 937, 252},
        {"infinities", k_infinity, -k_infinity, 937, 252},
    };
    for (const PixelCase& c : ordinary_limits) expect_tmf(1, c);

    // Equal limits divide by zero: beyond them is the far edge, on them the left column or
    // the top row.
    plot::LIMITS(1, 1, 5.0f, 5.0f, 2.0f, 2.0f);
    const PixelCase equal_limits[] = {
        {"on the equal limits", 5.0f, 2.0f, 40, 35},
        {"above the equal limits", 7.0f, 3.0f, 937, 35},
        {"below the equal limits", 3.0f, 1.0f, 40, 252},
    };
    for (const PixelCase& c : equal_limits) expect_tmf(1, c);
}

GTEST_TEST_F(TransformTest, RegionNeverLaidOutGivesPixelZeroAndTheLowerLimits) {
    plot::LIMITS(1, 5, 0.0f, 10.0f, 0.0f, 1.0f);
    expect_tmf(5, {"with limits", 5.0f, 0.5f, 0, 0});
    expect_tmf(6, {"without limits either", 5.0f, 0.5f, 0, 0});

    struct Case {
        const char* what;
        int ir;
        int32_t ix, iy;
        float x, y;
    };
    const Case cases[] = {
        {"its own pixel, 0 / 0", 5, 0, 0, 0.0f, 0.0f},
        {"a pixel right and below, +-infinity", 5, 50, 50, 10.0f, 0.0f},
        {"no limits at all", 6, 50, 50, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        float x = k_nan;
        float y = k_nan;
        plot::TFM(1, c.ir, c.ix, c.iy, x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

GTEST_TEST_F(TransformTest, PixelToWorldWithEqualLimitsGivesThoseLimits) {
    plot::LIMITS(1, 1, 5.0f, 5.0f, 2.0f, 2.0f);
    float x = 0.0f;
    float y = 0.0f;
    plot::TFM(1, 1, 500, 100, x, y);
    EXPECT_EQ(x, 5.0f);
    EXPECT_EQ(y, 2.0f);
}

}  // namespace
