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

// The smallest box holding every pixel of a set: left, right, top, bottom.
struct Bounds {
    int left = 100, right = -1, top = 100, bottom = -1;
};

Bounds bounds_of(const PixelSet& pixels) {
    Bounds bounds;
    for (const auto& [x, y] : pixels) {
        bounds.left = std::min(bounds.left, x);
        bounds.right = std::max(bounds.right, x);
        bounds.top = std::min(bounds.top, y);
        bounds.bottom = std::max(bounds.bottom, y);
    }
    return bounds;
}

PixelSet ellipse_pixels(Shape shape, int x1, int y1, int x2, int y2) {
    Canvas canvas(48, 48);
    raster_ellipse(canvas.grid(), shape, x1, y1, x2, y2, k_ink);
    return canvas.inked();
}

GTEST_TEST(RasterEllipse, OutlineTouchesEverySideOfItsBoxAndIsSymmetric) {
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
        SCOPED_TRACE(c.what);
        const Box& b = c.box;
        const PixelSet pixels = ellipse_pixels(Shape::outline, b.right, b.bottom, b.left, b.top);
        EXPECT_EQ(pixels, ellipse_pixels(Shape::outline, b.left, b.top, b.right, b.bottom))
            << "corner order matters";
        const auto [left, right, top, bottom] = bounds_of(pixels);
        for (const auto& [x, y] : pixels) {
            EXPECT_TRUE(pixels.contains({b.left + b.right - x, y})) << x << "," << y;
            EXPECT_TRUE(pixels.contains({x, b.top + b.bottom - y})) << x << "," << y;
        }
        EXPECT_EQ(left, b.left);
        EXPECT_EQ(right, b.right);
        EXPECT_EQ(top, b.top);
        EXPECT_EQ(bottom, b.bottom);
    }
}

// The filled ellipse's rule evaluated pixel by pixel: the point (x, y) inside the ellipse whose
// axes run between the box's coordinates, the curve counting on its left half and at its top.
PixelSet filled_ellipse_by_points(Box b) {
    PixelSet set;
    const int64_t width = b.right - b.left;
    const int64_t height = b.bottom - b.top;
    for (int y = b.top; y <= b.bottom; ++y) {
        for (int x = b.left; x <= b.right; ++x) {
            const int64_t offset_x = 2 * x - (b.left + b.right);
            const int64_t offset_y = 2 * y - (b.top + b.bottom);
            const int64_t reach =
                offset_x * offset_x * height * height + offset_y * offset_y * width * width;
            const int64_t limit = width * width * height * height;
            const bool on_curve_left_or_top =
                reach == limit && (offset_x < 0 || (offset_x == 0 && offset_y < 0));
            if (reach < limit || on_curve_left_or_top) set.insert({x, y});
        }
    }
    return set;
}

GTEST_TEST(RasterEllipse, FilledCoversTheAreaBetweenItsCoordinates) {
    // A box whose centre is a pixel gives a disc x2 - x1 pixels wide and y2 - y1 high: the left
    // and top ends of its axes are in, the right and bottom ends out. With the centre between
    // pixels the axes' ends are not pixels and the disc keeps just inside the curve.
    struct Case {
        const char* what;
        Box box;
    };
    constexpr Case cases[] = {
        {"circle centred on a pixel", {5, 5, 25, 25}},
        {"circle centred between pixels", {5, 5, 24, 24}},
        {"wide, centred on a pixel", {2, 10, 46, 20}},
        {"wide, centred between columns", {2, 10, 45, 20}},
        {"tall, centred between rows", {10, 1, 18, 46}},
        {"very flat", {1, 20, 47, 22}},
        {"two by two", {3, 3, 5, 5}},
        {"one by one", {3, 3, 4, 4}},
        {"one pixel high", {1, 20, 46, 21}},
        {"large, for the row estimate", {1, 1, 47, 47}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Box& b = c.box;
        const PixelSet pixels = ellipse_pixels(Shape::filled, b.left, b.top, b.right, b.bottom);
        EXPECT_EQ(pixels, ellipse_pixels(Shape::filled, b.right, b.bottom, b.left, b.top))
            << "corner order matters";
        EXPECT_EQ(pixels, filled_ellipse_by_points(b));
        const auto [left, right, top, bottom] = bounds_of(pixels);
        // The widest row is the centre row, the tallest column the centre column.
        if ((b.top + b.bottom) % 2 == 0) {
            EXPECT_EQ(left, b.left);
            EXPECT_EQ(right, b.right - 1);
        }
        if ((b.left + b.right) % 2 == 0) {
            EXPECT_EQ(top, b.top);
            EXPECT_EQ(bottom, b.bottom - 1);
        }
    }
}

GTEST_TEST(RasterEllipse, SmallCirclesHaveTheExpectedShape) {
    struct Case {
        const char* what;
        Shape shape;
        int size;  // the box runs from 0 to size - 1 for an outline, to size for a fill
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        // Centre (5, 5), radius 5: the left and top ends of the axes are in, the right and
        // bottom ends (10, 5) and (5, 10) out.
        {"box 0 to 10, filled",
         Shape::filled,
         10,
         {".....#....", "..######..", ".########.", ".#########", ".#########", "##########",
          ".#########", ".#########", ".########.", "..######.."}},
        // Centre (3.5, 3.5), radius 3.5: the tips of the axes fall between pixels, so the
        // widest rows are 6 pixels, just inside the curve.
        {"box 0 to 7, filled",
         Shape::filled,
         7,
         {"........", "..####..", ".######.", ".######.", ".######.", ".######.", "..####..",
          "........"}},
        {"diameter 7, outline",
         Shape::outline,
         7,
         {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int far = c.shape == Shape::filled ? c.size : c.size - 1;
        Canvas canvas(int(c.picture.size()), int(c.picture.size()));
        raster_ellipse(canvas.grid(), c.shape, 0, 0, far, far, k_ink);
        EXPECT_EQ(canvas.picture(), c.picture);
    }
}

GTEST_TEST(RasterEllipse, DegenerateBoxes) {
    // An outline of a flat box is a line; a filled box without width or height covers nothing.
    struct Case {
        const char* what;
        Box box;
        PixelSet outline;
    };
    const Case cases[] = {
        {"one pixel", {4, 4, 4, 4}, {{4, 4}}},
        {"one pixel wide", {2, 1, 2, 4}, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
        {"one pixel high", {5, 3, 1, 3}, {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Box& b = c.box;
        EXPECT_EQ(ellipse_pixels(Shape::outline, b.left, b.top, b.right, b.bottom), c.outline);
        EXPECT_TRUE(ellipse_pixels(Shape::filled, b.left, b.top, b.right, b.bottom).empty());
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

GTEST_TEST(RasterPolygon, FilledCoversThePointsInsideAndOnItsLeftAndTopEdges) {
    // The right triangle's hypotenuse x + y = 13 is a right edge: points on it stay out.
    PixelSet triangle;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x + y < 8; ++x) triangle.insert({x + 2, y + 3});
    }
    // Row by row from |y - 11| up to but excluding 22 - |y - 11|. The side corners lie on a row
    // where one edge ends and the next begins; each must be crossed once, or the middle row would
    // come out empty. The top corner is a point, not an edge, and stays out.
    PixelSet diamond;
    for (int y = 0; y < 22; ++y) {
        for (int x = std::abs(y - 11); x < 22 - std::abs(y - 11); ++x) diamond.insert({x, y});
    }
    PixelSet square;
    for (int y = 5; y < 9; ++y) {
        for (int x = 3; x < 7; ++x) square.insert({x, y});
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
        {"square from 3 to 7 and 5 to 9", {{3, 5}, {3, 9}, {7, 9}, {7, 5}}, square},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(polygon_pixels(Shape::filled, c.points), c.expected);
    }
}

GTEST_TEST(RasterPolygon, FilledNeighboursSharingAnEdgeNeitherOverlapNorLeaveAGap) {
    // A quadrilateral cut along a diagonal, and a slanted band cut across: every pixel of the
    // whole is in exactly one of the parts.
    struct Case {
        const char* what;
        std::vector<Point> whole, first, second;
    };
    const Case cases[] = {
        {"quadrilateral cut along its diagonal",
         {{1, 2}, {20, 5}, {17, 21}, {3, 15}},
         {{1, 2}, {20, 5}, {17, 21}},
         {{1, 2}, {17, 21}, {3, 15}}},
        {"band at 45 degrees cut across",
         {{4, 2}, {0, 6}, {15, 21}, {19, 17}},
         {{4, 2}, {0, 6}, {7, 13}, {11, 9}},
         {{11, 9}, {7, 13}, {15, 21}, {19, 17}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PixelSet whole = polygon_pixels(Shape::filled, c.whole);
        const PixelSet first = polygon_pixels(Shape::filled, c.first);
        const PixelSet second = polygon_pixels(Shape::filled, c.second);
        PixelSet joined = first;
        for (const auto& pixel : second) {
            EXPECT_TRUE(joined.insert(pixel).second) << pixel.first << "," << pixel.second;
        }
        EXPECT_EQ(joined, whole);
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

GTEST_TEST(RasterPolygon, DegenerateShapes) {
    // An outline keeps its vertices; a fill without area covers nothing.
    EXPECT_EQ(polygon_pixels(Shape::outline, {{5, 5}, {5, 5}, {5, 5}}), (PixelSet{{5, 5}}));
    EXPECT_TRUE(polygon_pixels(Shape::filled, {{5, 5}, {5, 5}, {5, 5}}).empty());
    EXPECT_TRUE(polygon_pixels(Shape::filled, {{2, 5}, {6, 5}, {4, 5}}).empty());
    EXPECT_EQ(polygon_pixels(Shape::outline, {{2, 5}, {6, 5}, {4, 5}}),
              (PixelSet{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}}));
}

}  // namespace
}  // namespace gfx
