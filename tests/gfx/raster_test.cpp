#include "gfx/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace gfx {
namespace {

constexpr uint32_t k_ink = 1;
constexpr uint32_t k_paper = 7;

using PixelSet = std::set<std::pair<int, int>>;

// A small block of pixels to draw into, starting as paper.
class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), pixels_(std::size_t(width) * height, k_paper) {}

    PixelGrid grid() { return PixelGrid{pixels_.data(), width_, height_, width_}; }
    uint32_t at(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }

    PixelSet inked() const {
        PixelSet set;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (at(x, y) == k_ink) set.insert({x, y});
            }
        }
        return set;
    }

    // One string per row, '#' for ink and '.' for paper.
    std::vector<std::string> picture() const {
        std::vector<std::string> rows;
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) row += at(x, y) == k_ink ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    }

    bool untouched_except_ink() const {
        return std::all_of(pixels_.begin(), pixels_.end(),
                           [](uint32_t p) { return p == k_ink || p == k_paper; });
    }

  private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

PixelSet line_pixels(int x1, int y1, int x2, int y2, uint16_t mask = 0xFFFF) {
    Canvas canvas(40, 40);
    raster_line(canvas.grid(), x1, y1, x2, y2, k_ink, mask);
    return canvas.inked();
}

// ---- lines

GTEST_TEST(RasterLine, IncludesBothEndsWithOnePixelPerStepInEveryDirection) {
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
    };
    constexpr Case cases[] = {
        {"single point", 20, 20, 20, 20},
        {"horizontal rightward", 3, 5, 30, 5},
        {"horizontal leftward", 30, 5, 3, 5},
        {"vertical downward", 7, 2, 7, 35},
        {"vertical upward", 7, 35, 7, 2},
        {"diagonal", 2, 2, 30, 30},
        {"anti-diagonal", 30, 2, 2, 30},
        {"octant 1: shallow right-down", 1, 1, 37, 12},
        {"octant 2: steep right-down", 1, 1, 12, 37},
        {"octant 3: steep left-down", 30, 1, 19, 37},
        {"octant 4: shallow left-down", 38, 3, 2, 14},
        {"octant 5: shallow left-up", 38, 14, 2, 3},
        {"octant 6: steep left-up", 30, 37, 19, 1},
        {"octant 7: steep right-up", 1, 37, 12, 1},
        {"octant 8: shallow right-up", 1, 12, 37, 1},
        {"one step off horizontal", 0, 10, 39, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PixelSet pixels = line_pixels(c.x1, c.y1, c.x2, c.y2);
        EXPECT_TRUE(pixels.contains({c.x1, c.y1}));
        EXPECT_TRUE(pixels.contains({c.x2, c.y2}));
        const int length = std::max(std::abs(c.x2 - c.x1), std::abs(c.y2 - c.y1));
        EXPECT_EQ(pixels.size(), std::size_t(length) + 1);
        // Consecutive pixels along the long axis touch, so the line has no gaps.
        const bool x_major = std::abs(c.x2 - c.x1) >= std::abs(c.y2 - c.y1);
        std::vector<std::pair<int, int>> ordered(pixels.begin(), pixels.end());
        if (!x_major) {
            std::sort(ordered.begin(), ordered.end(),
                      [](auto a, auto b) { return a.second < b.second; });
        }
        for (std::size_t i = 1; i < ordered.size(); ++i) {
            EXPECT_LE(std::abs(ordered[i].first - ordered[i - 1].first), 1);
            EXPECT_LE(std::abs(ordered[i].second - ordered[i - 1].second), 1);
        }
        EXPECT_EQ(pixels, line_pixels(c.x2, c.y2, c.x1, c.y1)) << "reversed line differs";
    }
}

GTEST_TEST(RasterLine, PicksTheNearestPixelAndRoundsHalvesTheSameWayInBothDirections) {
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
        PixelSet expected;
    };
    const Case cases[] = {
        {"slope 2/5", 0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {"slope 1/2 has ties at odd x, rounded down the screen",
         0,
         0,
         4,
         2,
         {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {"slope -1/2 rounds its ties down the screen too",
         0,
         2,
         4,
         0,
         {{0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 0}}},
        {"steep slope 3/1", 5, 0, 6, 3, {{5, 0}, {5, 1}, {6, 2}, {6, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(line_pixels(c.x1, c.y1, c.x2, c.y2), c.expected);
        EXPECT_EQ(line_pixels(c.x2, c.y2, c.x1, c.y1), c.expected);
    }
}

GTEST_TEST(RasterLine, StyleMaskRunsPixelByPixelFromTheHighestBit) {
    struct Case {
        const char* what;
        uint16_t mask;
        const char* row;  // pixels 0..31 of a line from (0, 0) to (31, 0)
    };
    constexpr Case cases[] = {
        {"solid", 0xFFFF, "################################"},
        {"long dashes", 0xFF00, "########........########........"},
        {"dashes", 0xF0F0, "####....####....####....####...."},
        {"short dashes", 0xCCCC, "##..##..##..##..##..##..##..##.."},
        {"first pixel only", 0x8000, "#...............#..............."},
        {"last bit of the pattern", 0x0001, "...............#...............#"},
        {"nothing", 0x0000, "................................"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(32, 1);
        raster_line(canvas.grid(), 0, 0, 31, 0, k_ink, c.mask);
        EXPECT_EQ(canvas.picture()[0], c.row);
        EXPECT_TRUE(canvas.untouched_except_ink()) << "pixels under a 0 bit must keep their value";
    }
}

GTEST_TEST(RasterLine, StyleMaskStartsAtTheFirstEndAndRestartsWithEveryLine) {
    Canvas canvas(24, 2);
    raster_line(canvas.grid(), 23, 0, 0, 0, k_ink, 0xFF00);  // drawn right to left
    raster_line(canvas.grid(), 0, 1, 5, 1, k_ink, 0xF0F0);
    raster_line(canvas.grid(), 6, 1, 11, 1, k_ink, 0xF0F0);
    const std::vector<std::string> expected = {
        "########........########",
        "####..####..............",
    };
    EXPECT_EQ(canvas.picture(), expected);
}

GTEST_TEST(RasterLine, ClippedLinesKeepTheirPixelsAndPatternPhase) {
    // The same lines drawn on a large canvas and on a small window into it, shifted.
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
        uint16_t mask;
    };
    constexpr Case cases[] = {
        {"starts left of the window", -13, 4, 25, 9, 0xF0F0},
        {"steep through the top and bottom", 3, -20, 9, 30, 0xCCCC},
        {"ends right of the window", 2, 2, 40, 5, 0xFF00},
        {"passes outside entirely", -10, -5, 30, -1, 0xFFFF},
        {"solid row through both sides", -5, 3, 30, 3, 0xFFFF},
        {"solid row leftward from outside", 30, 7, -5, 7, 0xFFFF},
        {"solid row just above the window", -5, -1, 30, -1, 0xFFFF},
        {"solid row just below the window", 0, 10, 11, 10, 0xFFFF},
        {"patterned row through both sides", -5, 3, 30, 3, 0xF0F0},
    };
    constexpr int offset = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas large(60, 70);
        raster_line(large.grid(), c.x1 + offset, c.y1 + offset, c.x2 + offset, c.y2 + offset, k_ink,
                    c.mask);
        Canvas window(12, 10);
        raster_line(window.grid(), c.x1, c.y1, c.x2, c.y2, k_ink, c.mask);
        PixelSet expected;
        for (const auto& [x, y] : large.inked()) {
            if (x >= offset && x < offset + 12 && y >= offset && y < offset + 10) {
                expected.insert({x - offset, y - offset});
            }
        }
        EXPECT_EQ(window.inked(), expected);
    }
}

GTEST_TEST(RasterLine, FarAwayEndPointsAreClippedWithoutWalkingTheWholeLine) {
    Canvas canvas(10, 10);
    raster_line(canvas.grid(), -32768, -32768, 32767, 32767, k_ink);
    raster_line(canvas.grid(), -2'000'000'000, 5, 2'000'000'000, 5, k_ink);
    PixelSet expected;
    for (int i = 0; i < 10; ++i) expected.insert({i, i});
    for (int x = 0; x < 10; ++x) expected.insert({x, 5});
    EXPECT_EQ(canvas.inked(), expected);
}

// ---- rectangles

GTEST_TEST(RasterRectangle, FilledCoversTheBoxWithCornersInAnyOrder) {
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
    };
    constexpr Case cases[] = {
        {"top-left to bottom-right", 2, 3, 8, 6},
        {"bottom-right to top-left", 8, 6, 2, 3},
        {"top-right to bottom-left", 8, 3, 2, 6},
        {"bottom-left to top-right", 2, 6, 8, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(12, 10);
        raster_rectangle(canvas.grid(), Shape::filled, c.x1, c.y1, c.x2, c.y2, k_ink, 0x8000);
        const PixelSet pixels = canvas.inked();
        EXPECT_EQ(pixels.size(), std::size_t(7 * 4)) << "the mask does not apply to fills";
        EXPECT_EQ(*pixels.begin(), std::make_pair(2, 3));
        EXPECT_EQ(*pixels.rbegin(), std::make_pair(8, 6));
    }
}

GTEST_TEST(RasterRectangle, OutlineIsTheBorderAndItsPatternRunsClockwiseFromTopLeft) {
    struct Case {
        const char* what;
        int x1, y1, x2, y2;
        uint16_t mask;
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        {"solid, corners given bottom-right first",
         6,
         4,
         1,
         1,
         0xFFFF,
         {"........", ".######.", ".#....#.", ".#....#.", ".######.", "........"}},
        // Around the 6 x 4 border: top 0-5, right side 6-7, bottom from the right 8-13, left
        // side upward 14-15; 2 on, 2 off, with no restart at the corners.
        {"short dashes",
         1,
         1,
         6,
         4,
         0xCCCC,
         {"........", ".##..##.", "........", "........", ".##..##.", "........"}},
        {"one pixel high is a single line",
         6,
         2,
         1,
         2,
         0xF0F0,
         {"........", "........", ".####...", "........", "........", "........"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(8, 6);
        raster_rectangle(canvas.grid(), Shape::outline, c.x1, c.y1, c.x2, c.y2, k_ink, c.mask);
        EXPECT_EQ(canvas.picture(), c.picture);
    }
}

// ---- ellipses

struct Box {
    int left, top, right, bottom;
};

PixelSet ellipse_pixels(Shape shape, int x1, int y1, int x2, int y2) {
    Canvas canvas(48, 48);
    raster_ellipse(canvas.grid(), shape, x1, y1, x2, y2, k_ink);
    return canvas.inked();
}

GTEST_TEST(RasterEllipse, TouchesEverySideOfItsBoxAndIsSymmetric) {
    struct Case {
        const char* what;
        Box box;
    };
    constexpr Case cases[] = {
        {"circle, odd size", {5, 5, 25, 25}},   {"circle, even size", {5, 5, 24, 24}},
        {"wide, even by odd", {2, 10, 45, 20}}, {"tall, odd by even", {10, 1, 18, 46}},
        {"very flat", {1, 20, 46, 21}},         {"very narrow", {20, 1, 21, 46}},
        {"two by two", {3, 3, 4, 4}},           {"three by three", {3, 3, 5, 5}},
    };
    for (const Case& c : cases) {
        for (const Shape shape : {Shape::outline, Shape::filled}) {
            SCOPED_TRACE(std::string(c.what) + (shape == Shape::filled ? ", filled" : ", outline"));
            const Box& b = c.box;
            const PixelSet pixels = ellipse_pixels(shape, b.right, b.bottom, b.left, b.top);
            EXPECT_EQ(pixels, ellipse_pixels(shape, b.left, b.top, b.right, b.bottom))
                << "corner order matters";
            int left = 100, right = -1, top = 100, bottom = -1;
            for (const auto& [x, y] : pixels) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                EXPECT_TRUE(pixels.contains({b.left + b.right - x, y})) << x << "," << y;
                EXPECT_TRUE(pixels.contains({x, b.top + b.bottom - y})) << x << "," << y;
            }
            EXPECT_EQ(left, b.left);
            EXPECT_EQ(right, b.right);
            EXPECT_EQ(top, b.top);
            EXPECT_EQ(bottom, b.bottom);
        }
    }
}

GTEST_TEST(RasterEllipse, FilledIsExactlyTheOutlineAndWhatItEncloses) {
    constexpr Box boxes[] = {{5, 5, 25, 25}, {2, 10, 45, 21}, {20, 1, 21, 46}, {3, 3, 9, 4}};
    for (const Box& b : boxes) {
        SCOPED_TRACE(::testing::Message()
                     << b.left << "," << b.top << "-" << b.right << "," << b.bottom);
        const PixelSet filled = ellipse_pixels(Shape::filled, b.left, b.top, b.right, b.bottom);
        const PixelSet outline = ellipse_pixels(Shape::outline, b.left, b.top, b.right, b.bottom);
        for (const auto& [x, y] : filled) {
            const bool on_edge = !filled.contains({x - 1, y}) || !filled.contains({x + 1, y}) ||
                                 !filled.contains({x, y - 1}) || !filled.contains({x, y + 1});
            EXPECT_EQ(outline.contains({x, y}), on_edge) << x << "," << y;
        }
        for (const auto& pixel : outline) EXPECT_TRUE(filled.contains(pixel));
    }
}

GTEST_TEST(RasterEllipse, SmallCirclesHaveTheExpectedShape) {
    struct Case {
        const char* what;
        Shape shape;
        int size;
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        {"diameter 10, filled",
         Shape::filled,
         10,
         {"...####...", ".########.", ".########.", "##########", "##########", "##########",
          "##########", ".########.", ".########.", "...####..."}},
        {"diameter 7, outline",
         Shape::outline,
         7,
         {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(c.size, c.size);
        raster_ellipse(canvas.grid(), c.shape, 0, 0, c.size - 1, c.size - 1, k_ink);
        EXPECT_EQ(canvas.picture(), c.picture);
    }
}

GTEST_TEST(RasterEllipse, DegenerateBoxesDrawLines) {
    struct Case {
        const char* what;
        Box box;
        PixelSet expected;
    };
    const Case cases[] = {
        {"one pixel", {4, 4, 4, 4}, {{4, 4}}},
        {"one pixel wide", {2, 1, 2, 4}, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
        {"one pixel high", {5, 3, 1, 3}, {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}},
    };
    for (const Case& c : cases) {
        for (const Shape shape : {Shape::outline, Shape::filled}) {
            SCOPED_TRACE(c.what);
            const Box& b = c.box;
            EXPECT_EQ(ellipse_pixels(shape, b.left, b.top, b.right, b.bottom), c.expected);
        }
    }
}

GTEST_TEST(RasterEllipse, HugeBoxIsClippedToTheGrid) {
    // The window lies well inside an ellipse of 16-bit extremes: filled covers it, the outline
    // passes far outside it.
    Canvas filled(20, 20);
    raster_ellipse(filled.grid(), Shape::filled, -32768, -32768, 32767, 32767, k_ink);
    EXPECT_EQ(filled.inked().size(), std::size_t(400));
    Canvas outline(20, 20);
    raster_ellipse(outline.grid(), Shape::outline, -32768, -32768, 32767, 32767, k_ink);
    EXPECT_TRUE(outline.inked().empty());
    // A box starting at column 0: only the ends of its middle rows lie on that column.
    Canvas edge(20, 20);
    raster_ellipse(edge.grid(), Shape::outline, 0, -32768, 65535, 32767, k_ink);
    EXPECT_TRUE(edge.inked().contains({0, 0}));
    EXPECT_FALSE(edge.inked().contains({1, 0}));
}

// ---- polygons

PixelSet polygon_pixels(Shape shape, std::vector<Point> points, uint16_t mask = 0xFFFF) {
    Canvas canvas(24, 24);
    raster_polygon(canvas.grid(), shape, points, k_ink, mask);
    return canvas.inked();
}

GTEST_TEST(RasterPolygon, FilledConvexShapesCoverExactlyTheirInsideAndEdges) {
    PixelSet triangle;
    for (int y = 0; y <= 8; ++y) {
        for (int x = 0; x + y <= 8; ++x) triangle.insert({x + 2, y + 3});
    }
    // The diamond's side corners lie on a row where one edge ends and the next begins; each
    // must be crossed once, or the middle row would come out empty.
    PixelSet diamond;
    for (int y = 0; y <= 22; ++y) {
        for (int x = 0; x <= 22; ++x) {
            if (std::abs(x - 11) + std::abs(y - 11) <= 11) diamond.insert({x, y});
        }
    }
    struct Case {
        const char* what;
        std::vector<Point> points;
        const PixelSet& expected;
    };
    const Case cases[] = {
        {"triangle", {{2, 3}, {10, 3}, {2, 11}}, triangle},
        {"triangle, other way round", {{2, 11}, {10, 3}, {2, 3}}, triangle},
        {"diamond", {{11, 0}, {22, 11}, {11, 22}, {0, 11}}, diamond},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(polygon_pixels(Shape::filled, c.points), c.expected);
    }
}

GTEST_TEST(RasterPolygon, FilledIncludesItsOutlineOnSlantedEdges) {
    const std::vector<std::vector<Point>> polygons = {
        {{1, 1}, {22, 5}, {13, 21}},
        {{3, 20}, {5, 2}, {20, 4}, {11, 12}},  // concave
        {{12, 0}, {23, 12}, {12, 23}, {0, 12}},
    };
    for (const auto& points : polygons) {
        SCOPED_TRACE(::testing::Message()
                     << points.size() << " points from " << points[0].x << "," << points[0].y);
        const PixelSet filled = polygon_pixels(Shape::filled, points);
        const PixelSet outline = polygon_pixels(Shape::outline, points);
        for (const auto& pixel : outline) EXPECT_TRUE(filled.contains(pixel));
        EXPECT_GT(filled.size(), outline.size());
    }
}

GTEST_TEST(RasterPolygon, SelfOverlappingStarLeavesItsCentreOpen) {
    // Five points joined every second one: the centre pentagon is enclosed twice, so the
    // even-odd rule leaves it empty while the points of the star are filled.
    const PixelSet star =
        polygon_pixels(Shape::filled, {{12, 0}, {19, 22}, {0, 8}, {23, 8}, {4, 22}});
    EXPECT_FALSE(star.contains({12, 12}));
    EXPECT_TRUE(star.contains({12, 4}));
    EXPECT_TRUE(star.contains({4, 9}));
}

GTEST_TEST(RasterPolygon, OutlinePatternRunsOnAcrossTheCorners) {
    // The same border and pattern as the rectangle's, so both dash alike.
    Canvas canvas(8, 6);
    const std::vector<Point> points = {{1, 1}, {6, 1}, {6, 4}, {1, 4}};
    raster_polygon(canvas.grid(), Shape::outline, points, k_ink, 0xCCCC);
    const std::vector<std::string> expected = {"........", ".##..##.", "........",
                                               "........", ".##..##.", "........"};
    EXPECT_EQ(canvas.picture(), expected);
}

GTEST_TEST(RasterPolygon, DegenerateOutlines) {
    EXPECT_EQ(polygon_pixels(Shape::outline, {{5, 5}, {5, 5}, {5, 5}}), (PixelSet{{5, 5}}));
    EXPECT_EQ(polygon_pixels(Shape::filled, {{5, 5}, {5, 5}, {5, 5}}), (PixelSet{{5, 5}}));
    EXPECT_EQ(polygon_pixels(Shape::outline, {{2, 5}, {6, 5}, {4, 5}}),
              (PixelSet{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}}));
}

}  // namespace
}  // namespace gfx
