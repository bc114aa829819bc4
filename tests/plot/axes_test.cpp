#include "plot/axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "plot/pen.h"
#include "plot/plot_state.h"
#include "plot/transforms.h"
#include "plot_fixture.h"

namespace {

using plot_test::k_black;
using plot_test::k_white;
using plot_test::PlotRegion;

constexpr float k_nan = std::numeric_limits<float>::quiet_NaN();

GTEST_TEST(AxisScale, LargeAndSmallAxesGetAPowerOfTen) {
    struct Case {
        const char* what;
        float lower, upper;
        float magnitude;
        int exponent;
    };
    const Case cases[] = {
        {"0 to 10", 0.0f, 10.0f, 10.0f, 0},
        {"the lower limit can be the larger one", -20.0f, 5.0f, 20.0f, 0},
        {"0 to 0.05: log10 -1.3 truncates to -1", 0.0f, 0.05f, 0.05f, 3},
        {"0 to 5000", 0.0f, 5000.0f, 5000.0f, -2},
        {"1000 is already large", 0.0f, 1000.0f, 1000.0f, -2},
        {"999 is not", 0.0f, 999.0f, 999.0f, 0},
        {"reversed limits", 0.05f, 0.0f, 0.05f, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<plot::AxisScale> scale = plot::axis_scale(c.lower, c.upper);
        ASSERT_TRUE(scale.has_value());
        EXPECT_EQ(scale->magnitude, c.magnitude);
        EXPECT_EQ(scale->exponent, c.exponent);
    }
}

GTEST_TEST(AxisScale, AxesWithoutADefinedScaleGetNone) {
    struct Case {
        const char* what;
        float lower, upper;
    };
    const Case cases[] = {
        {"equal limits", 5.0f, 5.0f},
        {"both zero", 0.0f, 0.0f},
        {"not a number", k_nan, 1.0f},
        {"infinite", 0.0f, std::numeric_limits<float>::infinity()},
        {"length beyond the float range", -3e38f, 3e38f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(plot::axis_scale(c.lower, c.upper).has_value());
    }
}

GTEST_TEST(AxisScale, ScaleLabelShowsTheNegatedExponent) {
    struct Case {
        int exponent;
        const char* label;
    };
    const Case cases[] = {{3, "*E -3"}, {-2, "*E+ 2"},  {1, "*E -1"},   {-37, "*E+37"},
                          {0, ""},      {120, "*E***"}, {-100, "*E+**"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exponent);
        EXPECT_EQ(plot::scale_label(c.exponent), c.label);
    }
}

GTEST_TEST(NumberedTicks, LabelsAndCountsOfWorkedAxes) {
    struct Case {
        const char* what;
        plot::Axis axis;
        float lower, upper, step;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"whole values bare, the trailing 0 of 2.50 blanked",
         plot::Axis::x,
         0,
         10,
         2.5f,
         {"    0.", "  2.5 ", "    5.", "  7.5 ", "   10."}},
        {"count truncate(12.1 / 2) = 6",
         plot::Axis::x,
         0,
         10,
         2,
         {"    0.", "    2.", "    4.", "    6.", "    8.", "   10."}},
        {"small y axis scaled by 10^3, 6th character dropped",
         plot::Axis::y,
         0,
         0.05f,
         0.01f,
         {"  0.0", " 10.0", " 20.0", " 30.0", " 40.0", " 50.0"}},
        {"large x axis scaled by 10^-2",
         plot::Axis::x,
         0,
         5000,
         1000,
         {"  0.0 ", " 10.0 ", " 20.0 ", " 30.0 ", " 40.0 ", " 50.0 "}},
        {"negative values",
         plot::Axis::x,
         -10,
         10,
         5,
         {"  -10.", "   -5.", "    0.", "    5.", "   10."}},
        {"magnitude above 10: one decimal",
         plot::Axis::x,
         0,
         50,
         12.5f,
         {"    0.", "  12.5", "   25.", "  37.5", "   50."}},
        {"magnitude above 100: no decimals, halves rounded away from zero",
         plot::Axis::x,
         0,
         500,
         62.5f,
         {"    0.", "   63.", "  125.", "  188.", "  250.", "  313.", "  375.", "  438.",
          "  500."}},
        // -0.3 + 3 × 0.1 is -2.2e-8 in single precision.
        {"a tick just below zero keeps its minus sign",
         plot::Axis::x,
         -0.3f,
         0.3f,
         0.1f,
         {" -0.3 ", " -0.2 ", " -0.1 ", " -0.0 ", "  0.1 ", "  0.2 ", "  0.3 "}},
        {"an exact zero has none",
         plot::Axis::x,
         -0.5f,
         0.5f,
         0.25f,
         {" -0.5 ", " -0.25", "    0.", "  0.25", "  0.5 "}},
        {"huge limits",
         plot::Axis::x,
         0,
         5e29f,
         1e29f,
         {"  0.0 ", " 10.0 ", " 20.0 ", " 30.0 ", " 40.0 ", " 50.0 "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<plot::AxisScale> scale = plot::axis_scale(c.lower, c.upper);
        ASSERT_TRUE(scale.has_value());
        std::vector<std::string> labels;
        plot::for_each_numbered_tick(
            c.axis, c.lower, c.upper, c.step, *scale,
            [&](float, const std::string& label) { labels.push_back(label); });
        EXPECT_EQ(labels, c.labels);
    }
}

GTEST_TEST(Stepping, CountIsTakenOnceFromTheSpan) {
    struct Case {
        const char* what;
        float start, end, step;
        std::vector<float> values;
    };
    const Case cases[] = {
        {"progress graph days", 0, 259200, 86400, {0, 86400, 172800, 259200}},
        {"equal start and end: one step", 5, 5, 1, {5}},
        {"end before start", 10, 0, 1, {}},
        {"negative step", 0, 10, -1, {}},
        {"not-a-number step", 0, 10, k_nan, {}},
        // 1e10 + 1 == 1e10: the remaining 10000 steps would all repeat the first.
        {"step lost in the value", 1e10f, 1e10f + 10240.0f, 1, {1e10f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<float> values;
        plot::for_each_step(c.start, c.end, c.step, [&](float v) { values.push_back(v); });
        EXPECT_EQ(values, c.values);
    }

    std::vector<float> grid;
    plot::for_each_step(0.0f, 1.0f, 0.2f, [&](float v) { grid.push_back(v); });
    ASSERT_EQ(grid.size(), 6u) << "0 to 1 every 0.2";
    EXPECT_NEAR(grid.back(), 1.0f, 1e-6f);
}

// Region 1 (columns 40 to 937, rows 35 to 252) with black ink.
class AxesTest : public PlotRegion {
  protected:
    void SetUp() override {
        PlotRegion::SetUp();
        plot::SETCOL(canvas.canvas(), 7);
    }

    std::vector<int> black_columns_in_row(int row) const {
        std::vector<int> columns;
        for (int x = 0; x < 980; ++x) {
            if (pixel(x, row) == k_black) columns.push_back(x);
        }
        return columns;
    }
    std::vector<int> black_rows_in_column(int column) const {
        std::vector<int> rows;
        for (int y = 0; y < 650; ++y) {
            if (pixel(column, y) == k_black) rows.push_back(y);
        }
        return rows;
    }
};

GTEST_TEST_F(AxesTest, NothingAskedNothingDrawn) {
    canvas.canvas().set_line_style(0x1234);
    plot::AXES(canvas.canvas(), 1, 1, 0.0f, 0.0f, 5, -1.0f, 0.0f, 5);
    EXPECT_EQ(count_not_white(), 0);
    EXPECT_EQ(canvas.canvas().line_style(), 0x1234) << "the line style is left alone";
}

GTEST_TEST_F(AxesTest, ProgressGraphGridIsDashedUnderASolidFrame) {
    plot::LIMITS(1, 1, 0.0f, 259200.0f, 0.0f, 1.0f);
    plot::AXES(canvas.canvas(), 1, 1, 0.0f, 86400.0f, 0, 0.0f, 0.2f, 0);

    // Dashes start at the line's first pixel, 4 on and 4 off: vertical lines run up from row
    // 252, horizontal ones right from column 40.
    const std::vector<int> vertical_lines = {40, 339, 638, 937};
    EXPECT_EQ(black_columns_in_row(236), vertical_lines) << "a row where the dashes are on";
    EXPECT_EQ(black_columns_in_row(232), (std::vector<int>{40, 937})) << "dashes off: frame only";

    const std::vector<int> horizontal_lines = {35, 78, 122, 165, 209, 252};
    EXPECT_EQ(black_rows_in_column(104), horizontal_lines);
    EXPECT_EQ(black_rows_in_column(108), (std::vector<int>{35, 252}));

    EXPECT_EQ(count_not_white(40, 35, 40, 252), 218) << "solid left edge";
    EXPECT_EQ(count_not_white(40, 35, 937, 35), 898) << "solid top edge";
    EXPECT_EQ(canvas.canvas().line_style(), 0xFFFF);
}

GTEST_TEST_F(AxesTest, VerticalGridAloneHasNoFrameAndStaysDashed) {
    plot::AXES(canvas.canvas(), 1, 1, 0.0f, 5.0f, 0, 0.0f, 0.0f, 0);
    EXPECT_EQ(black_columns_in_row(236), (std::vector<int>{40, 489, 937}));
    EXPECT_EQ(black_columns_in_row(232), std::vector<int>{});
    EXPECT_EQ(count_not_white(41, 35, 488, 35), 0) << "no top edge between the lines";
    EXPECT_EQ(canvas.canvas().line_style(), 0xF0F0);
}

GTEST_TEST_F(AxesTest, MinorTicksSitOnTheBottomEdge) {
    struct Case {
        int per_grid_step;
        int ticks;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {5, 51}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.per_grid_step);
        canvas.canvas().clear_screen();
        plot::AXES(canvas.canvas(), 1, 1, 0.0f, 1.0f, c.per_grid_step, 0.0f, 0.0f, 0);
        // Row 248 is the top end of a minor plus (4 rows above the edge) and falls in a gap of
        // the dashed grid lines.
        const std::vector<int> tops = black_columns_in_row(248);
        EXPECT_EQ(static_cast<int>(tops.size()), c.ticks);
        if (c.ticks > 2) {
            EXPECT_EQ(tops[0], 40);
            EXPECT_EQ(tops[1], 58) << "world 0.2";
            EXPECT_EQ(tops[2], 76) << "world 0.4";
        }
    }
}

GTEST_TEST_F(AxesTest, NumberedTicksArePlusesOnTheBottomAndLeftEdges) {
    plot::AXES(canvas.canvas(), 1, 1, 2.5f, 0.0f, 0, 0.2f, 0.0f, 0);
    // Above the bottom edge only the ticks' vertical strokes reach row 247; the x labels hang
    // below the edge.
    EXPECT_EQ(black_columns_in_row(247), (std::vector<int>{40, 264, 489, 713, 937}));
    // Left of the frame, column 34 meets only the ticks' horizontal strokes; the upright y
    // labels stand further left.
    EXPECT_EQ(black_rows_in_column(34), (std::vector<int>{35, 78, 122, 165, 209, 252}));
    EXPECT_GT(count_not_white(0, 253, 979, 290), 0) << "x labels";
    EXPECT_GT(count_not_white(0, 30, 30, 260), 0) << "y labels";
    EXPECT_EQ(canvas.canvas().line_style(), 0xFFFF);
}

GTEST_TEST_F(AxesTest, AxisWithoutADefinedScaleGetsNoNumbers) {
    struct Case {
        const char* what;
        float xmin, xmax, ymin, ymax;
    };
    const Case cases[] = {
        {"equal limits", 5, 5, 2, 2},
        {"both zero", 0, 0, 0, 0},
        {"not a number", k_nan, 1, k_nan, 1},
        {"length beyond the float range", -3e38f, 3e38f, -3e38f, 3e38f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        canvas.canvas().clear_screen();
        plot::LIMITS(1, 1, c.xmin, c.xmax, c.ymin, c.ymax);
        plot::AXES(canvas.canvas(), 1, 1, 1.0f, 0.0f, 0, 1.0f, 0.0f, 0);
        EXPECT_EQ(count_not_white(), 0);
    }
}

GTEST_TEST_F(AxesTest, LabelsOfARegionAtThePageBottomStayInTheWindow) {
    plot::REGION(canvas.canvas(), 1, 2, 10.0f, 3.0f, 220.0f, 60.0f);
    plot::LIMITS(1, 2, 0.0f, 10.0f, 0.0f, 1.0f);
    canvas.canvas().clear_screen();
    plot::AXES(canvas.canvas(), 1, 2, 2.5f, 0.0f, 0, 0.0f, 0.0f, 0);
    EXPECT_GT(count_not_white(0, 600, 979, 649), 0);
    EXPECT_EQ(count_not_white(0, 645, 979, 649), 0) << "labels raised to page y 6";
}

GTEST_TEST_F(AxesTest, ConstLinesFollowTheWorldAndClipToTheFrame) {
    plot::CONSTX(canvas.canvas(), 1, 1, 5.0f, -1.0f, 2.0f);
    EXPECT_EQ(count_not_white(489, 35, 489, 252), 218);
    EXPECT_EQ(count_not_white(), 218);
    EXPECT_EQ(canvas.canvas().position().y, 35) << "drawn from y1 to y2";

    canvas.canvas().clear_screen();
    plot::CONSTY(canvas.canvas(), 1, 1, 2.5f, 7.5f, 0.5f);
    EXPECT_EQ(count_not_white(264, 144, 713, 144), 713 - 264 + 1);
    EXPECT_EQ(count_not_white(), 713 - 264 + 1);
    EXPECT_EQ(canvas.canvas().position().x, 713);
}

}  // namespace
