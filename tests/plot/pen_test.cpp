#include "plot/pen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "plot/plot_state.h"
#include "plot_fixture.h"

namespace {

using plot_test::k_black;
using plot_test::k_white;
using plot_test::PlotPage;
using plot_test::PlotRegion;

constexpr gfx::Colour rgb(unsigned red, unsigned green, unsigned blue) {
    return red | (green << 8) | (blue << 16);
}

using PenColourTest = PlotPage;

GTEST_TEST_F(PenColourTest, SetcolSendsTheTruncatedBytesOfTheColourTable) {
    struct Case {
        int ic;
        gfx::Colour colour;
    };
    // Every default colour, then indices that nobody has defined.
    const Case cases[] = {
        {0, rgb(255, 255, 255)},  {1, rgb(255, 0, 127)},  {2, rgb(229, 178, 0)},
        {3, rgb(0, 178, 0)},      {4, rgb(0, 0, 255)},    {5, rgb(255, 0, 255)},
        {6, rgb(0, 204, 229)},    {7, rgb(0, 0, 0)},      {8, rgb(89, 89, 89)},
        {9, rgb(255, 0, 0)},      {10, rgb(127, 127, 0)}, {11, rgb(0, 127, 0)},
        {12, rgb(0, 127, 127)},   {13, rgb(0, 0, 255)},   {14, rgb(255, 0, 255)},
        {15, rgb(255, 255, 255)}, {16, rgb(0, 0, 0)},     {105, rgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ic);
        canvas.canvas().set_colour(0x123456);
        canvas.canvas().set_text_colour(0x123456);
        plot::SETCOL(canvas.canvas(), c.ic);
        EXPECT_EQ(canvas.canvas().colour(), c.colour);
        EXPECT_EQ(canvas.canvas().text_colour(), c.colour);
        EXPECT_EQ(plot::tables().ICOL, c.ic);
    }
}

GTEST_TEST_F(PenColourTest, ColorClampsAndWaitsForTheNextSetcol) {
    plot::SETCOL(canvas.canvas(), 20);
    plot::COLOR(20, 1.5f, -0.2f, 0.5f);
    EXPECT_EQ(plot::coldim(1, 21), 1.0f);
    EXPECT_EQ(plot::coldim(2, 21), 0.0f);
    EXPECT_EQ(plot::coldim(3, 21), 0.5f);
    EXPECT_EQ(canvas.canvas().colour(), k_black) << "nothing is sent to the window";

    plot::SETCOL(canvas.canvas(), 20);
    EXPECT_EQ(canvas.canvas().colour(), rgb(255, 0, 127));
}

GTEST_TEST_F(PenColourTest, NotANumberPassesColorAndBecomesByteZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    plot::COLOR(30, nan, 1.0f, 1.0f);
    EXPECT_TRUE(std::isnan(plot::coldim(1, 31)));
    plot::SETCOL(canvas.canvas(), 30);
    EXPECT_EQ(canvas.canvas().colour(), rgb(0, 255, 255));
}

GTEST_TEST_F(PenColourTest, SetlinChoosesTheMaskAndFallsBackToSolid) {
    struct Case {
        int style;
        uint16_t mask;
    };
    const Case cases[] = {{1, 0xFFFF}, {2, 0xFF00}, {3, 0xF0F0}, {4, 0xCCCC},
                          {0, 0xFFFF}, {5, 0xFFFF}, {-1, 0xFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        canvas.canvas().set_line_style(0x1234);
        plot::SETLIN(canvas.canvas(), c.style);
        EXPECT_EQ(canvas.canvas().line_style(), c.mask);
    }
}

using PenMoveTest = PlotRegion;

GTEST_TEST_F(PenMoveTest, OnlyPenOneDrawsAndThePositionEndsOnThePoint) {
    plot::SETCOL(canvas.canvas(), 7);
    struct Case {
        int pen;
        bool draws;
    };
    const Case cases[] = {{0, false}, {2, false}, {-1, false}, {1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pen);
        canvas.canvas().clear_screen();
        plot::MOVE(canvas.canvas(), 1, 1, 0.0f, 0.5f, 0);
        plot::MOVE(canvas.canvas(), 1, 1, 10.0f, 0.5f, c.pen);
        // Row 144 holds world y 0.5; a drawn line covers columns 40 to 937.
        EXPECT_EQ(count_not_white(), c.draws ? 898 : 0);
        EXPECT_EQ(count_not_white(40, 144, 937, 144), c.draws ? 898 : 0);
        EXPECT_EQ(canvas.canvas().position().x, 937);
        EXPECT_EQ(canvas.canvas().position().y, 144);
    }
}

GTEST_TEST_F(PenMoveTest, FirstPenDownDrawsFromWhereTheWindowPositionWas) {
    plot::SETCOL(canvas.canvas(), 7);
    canvas.canvas().move_to(0, 0);
    plot::MOVE(canvas.canvas(), 1, 1, 0.0f, 1.0f, 1);
    EXPECT_EQ(pixel(0, 0), k_black);
    EXPECT_EQ(pixel(40, 35), k_black);
    EXPECT_EQ(count_not_white(), 41) << "one slanted line of 41 pixels";
}

GTEST_TEST_F(PenMoveTest, PointsOutsideTheLimitsDrawAlongTheFrame) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::MOVE(canvas.canvas(), 1, 1, -5.0f, 2.0f, 0);  // the top-left corner
    plot::MOVE(canvas.canvas(), 1, 1, 20.0f, 3.0f, 1);  // the top-right corner
    EXPECT_EQ(count_not_white(40, 35, 937, 35), 898);
    EXPECT_EQ(count_not_white(), 898);
}

GTEST_TEST_F(PenMoveTest, PixmoveIsNotClippedAndTakesTheLowSixteenBits) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::PIXMOVE(canvas.canvas(), 1, 5, 640, 0);
    plot::PIXMOVE(canvas.canvas(), 1, 9, 640, 1);
    EXPECT_EQ(count_not_white(), 5);
    EXPECT_EQ(count_not_white(5, 640, 9, 640), 5);

    plot::PIXMOVE(canvas.canvas(), 1, 65536 + 20, 65536 + 30, 0);
    EXPECT_EQ(canvas.canvas().position().x, 20);
    EXPECT_EQ(canvas.canvas().position().y, 30);
}

GTEST_TEST_F(PenMoveTest, PointUsesTheTableAtOnceAndKeepsTheDrawingColour) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::COLOR(7, 1.0f, 0.0f, 0.0f);  // not yet sent to the window
    plot::POINT(canvas.canvas(), 1, 1, 5.0f, 0.5f);
    EXPECT_EQ(pixel(489, 144), rgb(255, 0, 0));
    EXPECT_EQ(count_not_white(), 1);
    EXPECT_EQ(canvas.canvas().colour(), k_black);

    plot::POINT(canvas.canvas(), 1, 1, 50.0f, -7.0f);
    EXPECT_EQ(pixel(937, 252), rgb(255, 0, 0)) << "clipped to the bottom-right corner";
    EXPECT_NE(pixel(489, 144), k_white);
}

}  // namespace
