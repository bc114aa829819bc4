#include "plot/page.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/headless/headless_platform.h"
#include "plot/pen.h"
#include "plot/plot_state.h"
#include "plot/symbols.h"
#include "plot/transforms.h"
#include "plot_fixture.h"

namespace {

using plot_test::k_black;
using plot_test::k_white;
using plot_test::PlotPage;

void expect_page_row(int iw, float width, float height) {
    EXPECT_EQ(plot::gr1(iw, 1), 240.0f);
    EXPECT_EQ(plot::gr1(iw, 2), 180.0f);
    EXPECT_EQ(plot::gr1(iw, 3), width);
    EXPECT_EQ(plot::gr1(iw, 4), height);
}

void expect_default_colours() {
    for (int column = 1; column <= 16; ++column) {
        for (int component = 1; component <= 3; ++component) {
            EXPECT_EQ(plot::coldim(component, column), plot::col0(component, column))
                << "colour index " << column - 1 << ", component " << component;
        }
    }
}

GTEST_TEST(Page, FirstPageIsAWhiteTiledWindowWithTheDefaultColours) {
    state::start_run();
    gfx::HeadlessPlatform canvas;
    plot::PAGE(canvas.canvas(), 1, 650, 980, "Trainer for eyes");

    expect_page_row(1, 980.0f, 650.0f);
    expect_default_colours();
    EXPECT_EQ(plot::coldim(1, 17), 0.0f) << "indices from 16 on stay black";
    EXPECT_EQ(canvas.canvas().title(1), "Trainer for eyes");
    EXPECT_EQ(canvas.tiles(), 1);

    // The platform refuses the first record (font size 0) and corrects it; the second
    // submission sizes the window.
    EXPECT_TRUE(plot::tables().page_config_status);
    const auto surface = canvas.canvas().surface(1);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->width(), 980);
    EXPECT_EQ(surface->height(), 650);
    EXPECT_EQ(canvas.canvas().window_config().pixel_width, 980);

    int not_white = 0;
    for (int y = 0; y < 650; ++y) {
        for (int x = 0; x < 980; ++x) not_white += canvas.pixel(x, y) != k_white ? 1 : 0;
    }
    EXPECT_EQ(not_white, 0);
}

GTEST_TEST(Page, LaterPagesKeepChangedColoursAndOnlyUnitOneTiles) {
    state::start_run();
    gfx::HeadlessPlatform canvas;
    plot::PAGE(canvas.canvas(), 1, 650, 980, "Trainer for eyes");
    plot::COLOR(3, 0.25f, 0.5f, 0.75f);
    plot::REGION(canvas.canvas(), 1, 4, 10.0f, 110.0f, 220.0f, 60.0f);
    plot::LIMITS(1, 4, 0.0f, 10.0f, 0.0f, 1.0f);

    plot::PAGE(canvas.canvas(), 2, 100, 200, "second");
    EXPECT_EQ(canvas.tiles(), 1) << "unit 2 does not tile";
    expect_page_row(2, 200.0f, 100.0f);
    expect_page_row(1, 980.0f, 650.0f);
    EXPECT_EQ(plot::coldim(2, 4), 0.5f) << "colour 3 keeps what COLOR gave it";
    EXPECT_EQ(plot::tables().page_calls, 2);
    ASSERT_NE(canvas.canvas().surface(2), nullptr);
    EXPECT_EQ(canvas.canvas().surface(2)->width(), 200);

    // Page 1 again, at another size: its row is rewritten, its regions stay.
    plot::PAGE(canvas.canvas(), 1, 300, 400, "again");
    EXPECT_EQ(canvas.tiles(), 2);
    expect_page_row(1, 400.0f, 300.0f);
    EXPECT_EQ(plot::gr2(1, 1, 4), 40.0f);
    EXPECT_EQ(plot::gr2(1, 7, 4), 10.0f);
    EXPECT_EQ(plot::coldim(2, 4), 0.5f);
}

struct RegionCase {
    const char* what;
    float x0, y0, w, h;
    int left, right, top, bottom;
};

using RegionTest = PlotPage;

GTEST_TEST_F(RegionTest, FramesItsRectangleAndRecordsPixelAndPageFrames) {
    const RegionCase cases[] = {
        {"upper panel of the progress graph", 10, 110, 220, 60, 40, 937, 35, 252},
        {"lower panel of the progress graph", 10, 10, 220, 90, 40, 937, 287, 612},
        {"the whole page is the whole window", 0, 0, 240, 180, 0, 979, 0, 649},
    };
    plot::SETCOL(canvas.canvas(), 7);
    int ir = 0;
    for (const RegionCase& c : cases) {
        SCOPED_TRACE(c.what);
        canvas.canvas().clear_screen();
        plot::REGION(canvas.canvas(), 1, ++ir, c.x0, c.y0, c.w, c.h);

        EXPECT_EQ(plot::gr2(1, 1, ir), static_cast<float>(c.left));
        EXPECT_EQ(plot::gr2(1, 2, ir), static_cast<float>(c.bottom));
        EXPECT_EQ(plot::gr2(1, 3, ir), static_cast<float>(c.right - c.left));
        EXPECT_EQ(plot::gr2(1, 4, ir), static_cast<float>(c.bottom - c.top));
        EXPECT_EQ(plot::gr2(1, 9, ir), c.x0);
        EXPECT_EQ(plot::gr2(1, 10, ir), c.y0);
        EXPECT_EQ(plot::gr2(1, 11, ir), c.x0 + c.w);
        EXPECT_EQ(plot::gr2(1, 12, ir), c.y0 + c.h);
        EXPECT_EQ(plot::gr2(1, 5, ir), 0.0f) << "world limits are not touched";

        // The frame is exactly the four edges: edge lengths plus nothing inside or outside.
        const int width = c.right - c.left + 1;
        const int height = c.bottom - c.top + 1;
        EXPECT_EQ(count_not_white(c.left, c.top, c.right, c.top), width);
        EXPECT_EQ(count_not_white(c.left, c.bottom, c.right, c.bottom), width);
        EXPECT_EQ(count_not_white(c.left, c.top, c.left, c.bottom), height);
        EXPECT_EQ(count_not_white(c.right, c.top, c.right, c.bottom), height);
        EXPECT_EQ(count_not_white(), 2 * width + 2 * height - 4);
        EXPECT_EQ(pixel(c.left, c.top), k_black);

        const gfx::Point end = canvas.canvas().position();
        EXPECT_EQ(end.x, c.left);
        EXPECT_EQ(end.y, c.bottom);
    }
}

GTEST_TEST_F(RegionTest, FrameUsesTheCurrentColourAndLineStyle) {
    plot::SETCOL(canvas.canvas(), 4);
    plot::SETLIN(canvas.canvas(), 3);
    plot::REGION(canvas.canvas(), 1, 1, 10, 110, 220, 60);
    // The left edge runs up from row 252 with 4 pixels on and 4 off.
    for (int row = 252; row > 244; --row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(pixel(40, row), row > 248 ? 0xFF0000u : k_white);
    }
}

GTEST_TEST_F(RegionTest, ActivChangesOnlyWhatItIsAskedTo) {
    plot::PAGE(canvas.canvas(), 2, 100, 200, "second");
    ASSERT_EQ(canvas.canvas().active_unit(), 2);

    EXPECT_TRUE(plot::ACTIV(canvas.canvas(), 0, 0));
    EXPECT_EQ(canvas.canvas().active_unit(), 2) << "ACTIV(0, 0) does nothing";
    EXPECT_TRUE(plot::ACTIV(canvas.canvas(), 1, 1));
    EXPECT_EQ(canvas.canvas().active_unit(), 1);
    EXPECT_TRUE(plot::ACTIV(canvas.canvas(), 0, 2));
    EXPECT_EQ(canvas.canvas().active_unit(), 1) << "focus alone does not change the drawing target";
}

GTEST_TEST_F(RegionTest, ActivGivesUpOnAUnitNeverOpened) {
    EXPECT_FALSE(plot::ACTIV(canvas.canvas(), 7, 0));
    EXPECT_EQ(canvas.canvas().active_unit(), 1);
    EXPECT_FALSE(plot::ACTIV(canvas.canvas(), 0, 7));
    EXPECT_FALSE(plot::ACTIV(canvas.canvas(), 1, 7));
    EXPECT_EQ(canvas.canvas().active_unit(), 1) << "the part that could be done is done";
}

GTEST_TEST_F(RegionTest, DrawingForAPageNeverOpenedLeavesTheOpenWindowAlone) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::gr1(7, 1) = 240.0f;
    plot::gr1(7, 2) = 180.0f;
    plot::gr1(7, 3) = 980.0f;
    plot::gr1(7, 4) = 650.0f;
    canvas.canvas().move_to(500, 300);

    plot::REGION(canvas.canvas(), 7, 1, 10, 110, 220, 60);
    plot::LIMITS(7, 1, 0.0f, 10.0f, 0.0f, 1.0f);
    plot::MOVE(canvas.canvas(), 7, 1, 10.0f, 1.0f, 1);
    plot::PIXMOVE(canvas.canvas(), 7, 0, 0, 1);
    plot::POINT(canvas.canvas(), 7, 1, 5.0f, 0.5f);
    plot::MARKER(canvas.canvas(), 7, 1, 5.0f, 0.5f, 3, 3.5f);
    plot::SYMBOL(canvas.canvas(), 7, 120.0f, 90.0f, 8.0f, 0.0f, "text");

    EXPECT_EQ(count_not_white(), 0);
    EXPECT_EQ(canvas.canvas().position().x, 500);
    EXPECT_EQ(canvas.canvas().position().y, 300);
    EXPECT_EQ(plot::gr2(7, 1, 1), 40.0f) << "the region is still laid out";
}

}  // namespace
