#include "plot/symbols.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "gfx/headless/headless_platform.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "plot/plot_state.h"
#include "plot_fixture.h"

namespace {

using plot_test::k_black;
using plot_test::k_white;
using plot_test::PlotPage;
using plot_test::PlotRegion;

// The smallest rectangle holding every pixel of unit 1 that is not white.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

Box drawn_box(const gfx::HeadlessPlatform& canvas) {
    Box box;
    for (int y = 0; y < 650; ++y) {
        for (int x = 0; x < 980; ++x) {
            if (canvas.pixel(x, y) == k_white) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

GTEST_TEST(SymbolFont, ScaledSizeChoosesTheFont) {
    struct Case {
        const char* what;
        float size;
        const char* options;
    };
    const Case cases[] = {
        {"size 0", 0.0f, "t'Times New Roman Cyr'h4w3b"},
        {"negative size", -5.0f, "t'Times New Roman Cyr'h4w3b"},
        {"scaled 4 is still the smallest", 4.0f / 1.5f, "t'Times New Roman Cyr'h4w3b"},
        {"scaled 6", 4.0f, "t'Times New Roman Cyr'h12w4b"},
        {"scaled 7.5", 5.0f, "t'Times New Roman Cyr'h16w5b"},
        {"scaled 9", 6.0f, "t'Times New Roman Cyr'h20w6b"},
        {"axes labels, scaled 10.5", 7.0f, "t'Times New Roman Cyr'h24w7b"},
        {"graph labels, scaled 12.0", 8.0f, "t'Times New Roman Cyr'h24w7b"},
        {"size 8.1, scaled 12.15", 8.1f, "t'Times New Roman Cyr'h28w8b"},
        {"scaled 15", 10.0f, "t'Times New Roman Cyr'h28w8b"},
        {"scaled 19.5", 13.0f, "t'Times New Roman Cyr'h36w10b"},
        {"scaled 30", 20.0f, "t'Times New Roman Cyr'h52w18b"},
        {"size 33.3, scaled 49.95", 33.3f, "t'Times New Roman Cyr'h96w30b"},
        {"size 33.4, scaled 50.1", 33.4f, "t'Times New Roman Cyr'h120w40b"},
        {"huge", 1e30f, "t'Times New Roman Cyr'h120w40b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(plot::symbol_font(c.size), c.options);
    }
}

using SymbolTest = PlotPage;

GTEST_TEST_F(SymbolTest, StartsAtThePixelOfThePagePosition) {
    struct Case {
        float x, y;
        int column, row;
    };
    // The row scales by the full height: page y 0 is the row just below the window.
    const Case cases[] = {
        {5.0f, 114.0f, 20, 238},
        {120.0f, 90.0f, 490, 325},
        {0.0f, 0.0f, 0, 650},
        {240.0f, 180.0f, 980, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        // An empty text does not move the graphics position on from where the text starts.
        plot::SYMBOL(canvas.canvas(), 1, c.x, c.y, 8.0f, 0.0f, "");
        EXPECT_EQ(canvas.canvas().position().x, c.column);
        EXPECT_EQ(canvas.canvas().position().y, c.row);
    }
}

GTEST_TEST_F(SymbolTest, SelectsTheFontOfItsSize) {
    struct Case {
        float size;
        int height, width;
    };
    const Case cases[] = {
        {7.0f, 24, 7}, {8.1f, 28, 8}, {0.0f, 4, 3}, {33.3f, 96, 30}, {33.4f, 120, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        plot::SYMBOL(canvas.canvas(), 1, 120.0f, 90.0f, c.size, 0.0f, "A");
        const std::optional<gfx::FontSpec> font = canvas.canvas().font();
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->face, "Times New Roman Cyr");
        EXPECT_EQ(font->height, c.height);
        EXPECT_EQ(font->width, c.width);
        EXPECT_TRUE(font->best_fit);
    }
}

GTEST_TEST_F(SymbolTest, TextRunsAlongItsAngleAndRotationIsResetAfterwards) {
    struct Case {
        const char* what;
        float angle;
        bool upward;
    };
    const Case cases[] = {{"horizontal", 0.0f, false}, {"upward", 90.0f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        canvas.canvas().clear_screen();
        canvas.canvas().set_text_rotation(450);
        plot::SETCOL(canvas.canvas(), 7);
        plot::SYMBOL(canvas.canvas(), 1, 120.0f, 90.0f, 8.0f, c.angle, "HHHHHHHH");
        EXPECT_EQ(canvas.canvas().text_rotation(), 0);

        // The text's top-left corner is at pixel (490, 325).
        const Box box = drawn_box(canvas);
        ASSERT_FALSE(box.empty());
        const int along = c.upward ? box.bottom - box.top : box.right - box.left;
        const int across = c.upward ? box.right - box.left : box.bottom - box.top;
        EXPECT_GT(along, 2 * across);
        if (c.upward) {
            EXPECT_GE(box.left, 489);
            EXPECT_LE(box.bottom, 326);
        } else {
            EXPECT_GE(box.left, 489);
            EXPECT_GE(box.top, 324);
        }
    }
}

GTEST_TEST_F(SymbolTest, WritesInThePackagesCurrentColour) {
    plot::SETCOL(canvas.canvas(), 4);
    canvas.canvas().set_colour(0x00FF00);  // changed behind the package's back
    plot::SYMBOL(canvas.canvas(), 1, 100.0f, 100.0f, 8.0f, 0.0f, "Visual acuity");
    EXPECT_EQ(canvas.canvas().colour(), 0xFF0000u);
    const int blue = count_pixels(0, 0, 979, 649, [](gfx::Colour c) { return c == 0xFF0000u; });
    EXPECT_GT(blue, 0);
    EXPECT_EQ(count_not_white(), blue) << "no other colour, no smoothing";
}

GTEST_TEST(SymbolWithoutFonts, GivesUpAskingAndStillWritesTheText) {
    state::start_run();
    gfx::HeadlessPlatform canvas;
    plot::PAGE(canvas.canvas(), 1, 650, 980, "Trainer for eyes");  // fonts never prepared
    plot::SETCOL(canvas.canvas(), 7);
    plot::SYMBOL(canvas.canvas(), 1, 120.0f, 90.0f, 8.0f, 0.0f, "text");
    EXPECT_EQ(canvas.canvas().text_rotation(), 0);
    EXPECT_FALSE(drawn_box(canvas).empty());
}

using MarkerTest = PlotRegion;

GTEST_TEST_F(MarkerTest, ReachesItsExtentsAroundTheCentre) {
    struct Case {
        const char* what;
        int type;
        float size;
        int half_width, half_height, pixels;
    };
    // World (5, 0.5) is pixel (489, 144).
    const Case cases[] = {
        {"tick plus", 2, 3.5f, 7, 6, 15 + 13 - 1},
        {"minor tick plus", 2, 2.5f, 5, 4, 11 + 9 - 1},
        {"star", 3, 3.5f, 7, 6, -1},
        {"point", 1, 3.5f, 0, 0, 1},
        {"type 0 is a point", 0, 3.5f, 0, 0, 1},
        {"type 7 is a point", 7, 3.5f, 0, 0, 1},
        {"negative type is a point", -3, 3.5f, 0, 0, 1},
    };
    plot::SETCOL(canvas.canvas(), 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        canvas.canvas().clear_screen();
        plot::MARKER(canvas.canvas(), 1, 1, 5.0f, 0.5f, c.type, c.size);
        const Box box = drawn_box(canvas);
        EXPECT_EQ(box.left, 489 - c.half_width);
        EXPECT_EQ(box.right, 489 + c.half_width);
        EXPECT_EQ(box.top, 144 - c.half_height);
        EXPECT_EQ(box.bottom, 144 + c.half_height);
        if (c.pixels >= 0) {
            EXPECT_EQ(count_not_white(), c.pixels);
        }
    }
}

GTEST_TEST_F(MarkerTest, StarAddsDiagonalsAndEndsOnItsLastPixel) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::MARKER(canvas.canvas(), 1, 1, 5.0f, 0.5f, 3, 3.5f);
    // Diagonals reach 5 across and 4 up and down; the last one runs to the upper right.
    struct Corner {
        int dx, dy;
    };
    const Corner corners[] = {{-5, -4}, {5, 4}, {-5, 4}, {5, -4}};
    for (const auto [dx, dy] : corners) {
        SCOPED_TRACE(testing::Message() << dx << ", " << dy);
        EXPECT_EQ(pixel(489 + dx, 144 + dy), k_black);
        EXPECT_EQ(pixel(489 + dx + (dx > 0 ? 1 : -1), 144 + dy + (dy > 0 ? 1 : -1)), k_white);
    }
    EXPECT_EQ(canvas.canvas().position().x, 494);
    EXPECT_EQ(canvas.canvas().position().y, 140);

    canvas.canvas().clear_screen();
    plot::MARKER(canvas.canvas(), 1, 1, 5.0f, 0.5f, 2, 3.5f);
    EXPECT_EQ(canvas.canvas().position().x, 489);
    EXPECT_EQ(canvas.canvas().position().y, 150)
        << "the plus ends at the bottom of its vertical stroke";
}

GTEST_TEST_F(MarkerTest, ReservedTypesDrawNothing) {
    for (const int type : {4, 5, 6}) {
        SCOPED_TRACE(type);
        plot::MARKER(canvas.canvas(), 1, 1, 5.0f, 0.5f, type, 3.5f);
        EXPECT_EQ(count_not_white(), 0);
    }
}

GTEST_TEST_F(MarkerTest, MarkOnTheFrameReachesOutsideIt) {
    plot::SETCOL(canvas.canvas(), 7);
    plot::MARKER(canvas.canvas(), 1, 1, -100.0f, -100.0f, 2,
                 3.5f);  // clipped to the corner (40, 252)
    const Box box = drawn_box(canvas);
    EXPECT_EQ(box.left, 33);
    EXPECT_EQ(box.right, 47);
    EXPECT_EQ(box.top, 246);
    EXPECT_EQ(box.bottom, 258);
}

}  // namespace
