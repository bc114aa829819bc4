#include "gfx/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace gfx {

namespace {

// Products of up to four coordinates (ellipse test, polygon crossings) need more than 64 bits.
using Wide = __int128;

// Coordinates beyond this are clamped. Callers pass 16-bit values; the bound only keeps the
// 128-bit products of the ellipse test from overflowing on absurd input.
constexpr int k_coordinate_limit = 1 << 30;

int clamp_coordinate(int value) {
    return std::clamp(value, -k_coordinate_limit, k_coordinate_limit);
}

struct Vertex {
    int x = 0;
    int y = 0;
};

// The pattern bit for the pixel at `step` along a path; bit 15 goes with step 0.
bool mask_bit(uint16_t mask, int64_t step) {
    return ((mask >> (15 - step % 16)) & 1u) != 0;
}

int64_t floor_div(Wide numerator, Wide denominator) {  // denominator > 0
    Wide quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) --quotient;
    return static_cast<int64_t>(quotient);
}

int64_t ceil_div(Wide numerator, Wide denominator) {  // denominator > 0
    return -floor_div(-numerator, denominator);
}

constexpr uint16_t k_solid_mask = 0xFFFF;

// Sets the pixels of row y from x_from to x_to, both included, clipped to the grid.
void fill_span(const PixelGrid& grid, int64_t y, int64_t x_from, int64_t x_to, uint32_t value) {
    if (y < 0 || y >= grid.height) return;
    const int64_t from = std::max<int64_t>(x_from, 0);
    const int64_t to = std::min<int64_t>(x_to, grid.width - 1);
    uint32_t* row = grid.pixels + y * grid.stride;
    for (int64_t x = from; x <= to; ++x) row[x] = value;
}

// Steps from (x1, y1) towards (x2, y2) one pixel per step of the longer axis; the other
// coordinate is the exact line's value rounded to the nearest pixel, halves upward in absolute
// coordinates. Because the rounding does not depend on the direction, a line and its reverse
// cover the same pixels. Step k uses pattern bit phase + k. Only the steps whose long-axis
// coordinate lies inside the grid are visited, so far-away end points cost nothing.
// Returns the number of steps of the whole line, visible or not.
int64_t trace_line(const PixelGrid& grid, Vertex from, Vertex to, uint32_t value, uint16_t mask,
                   int64_t phase, bool include_end) {
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const int64_t major_start = x_major ? from.x : from.y;
    const int64_t minor_start = x_major ? from.y : from.x;
    const int64_t major_delta = x_major ? dx : dy;
    const int64_t minor_delta = x_major ? dy : dx;
    const int64_t length = std::llabs(major_delta);
    const int64_t major_step = major_delta < 0 ? -1 : 1;
    const int64_t steps = include_end ? length + 1 : length;
    if (steps == 0) return 0;
    if (length == 0) {
        if (mask_bit(mask, phase)) grid.set(from.x, from.y, value);
        return steps;
    }

    const int64_t major_size = x_major ? grid.width : grid.height;
    int64_t first = major_step > 0 ? -major_start : major_start - (major_size - 1);
    int64_t last = major_step > 0 ? major_size - 1 - major_start : major_start;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, steps - 1);
    if (first > last) return steps;

    // A solid horizontal line, the commonest of all, is one run of its row.
    if (x_major && minor_delta == 0 && mask == k_solid_mask) {
        const int64_t ends[] = {major_start + major_step * first, major_start + major_step * last};
        fill_span(grid, minor_start, std::min(ends[0], ends[1]), std::max(ends[0], ends[1]), value);
        return steps;
    }

    // minor(k) = minor_start + floor((2 k minor_delta + length) / (2 length)), carried as a
    // quotient and a remainder in [0, 2 length).
    const int64_t two_length = 2 * length;
    const Wide numerator = Wide{2} * first * minor_delta + length;
    int64_t quotient = floor_div(numerator, two_length);
    int64_t remainder = static_cast<int64_t>(numerator - Wide{quotient} * two_length);
    for (int64_t k = first; k <= last; ++k) {
        if (mask_bit(mask, phase + k)) {
            const int64_t major = major_start + major_step * k;
            const int64_t minor = minor_start + quotient;
            if (x_major) {
                if (minor >= 0 && minor < grid.height) grid.set(int(major), int(minor), value);
            } else {
                if (minor >= 0 && minor < grid.width) grid.set(int(minor), int(major), value);
            }
        }
        remainder += 2 * minor_delta;
        if (remainder >= two_length) {
            remainder -= two_length;
            ++quotient;
        } else if (remainder < 0) {
            remainder += two_length;
            --quotient;
        }
    }
    return steps;
}

// A closed outline through the vertices. Each edge stops short of its end vertex, which the
// next edge starts with, so every pixel of a vertex is drawn once and the pattern runs on
// around the whole outline without restarting at the corners.
void trace_closed_path(const PixelGrid& grid, const std::vector<Vertex>& vertices, uint32_t value,
                       uint16_t mask) {
    if (vertices.empty()) return;
    int64_t phase = 0;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vertex& next = vertices[(i + 1) % vertices.size()];
        phase += trace_line(grid, vertices[i], next, value, mask, phase, false);
    }
    // Every vertex in one place: the outline is that pixel.
    if (phase == 0) trace_line(grid, vertices[0], vertices[0], value, mask, 0, true);
}

// A polygon edge's crossing with a pixel row, x = numerator / denominator, denominator > 0.
struct Crossing {
    Wide numerator;
    int64_t denominator;
};

bool crosses_before(const Crossing& a, const Crossing& b) {
    return a.numerator * b.denominator < b.numerator * a.denominator;
}

// Even-odd rule, top-left convention: pixel (x, y) is the point (x, y). On every row, the points
// from the first crossing up to but excluding the second are inside, and so on for each pair. An
// edge counts for rows from its upper end up to but excluding its lower end, so a vertex between
// two edges is crossed once, a top edge's row is filled and a bottom edge's row is not. A shape
// from x1 to x2 thus covers x2 - x1 columns, and shapes sharing an edge do not overlap.
void fill_polygon_interior(const PixelGrid& grid, const std::vector<Vertex>& vertices,
                           uint32_t value) {
    const auto [low, high] = std::minmax_element(vertices.begin(), vertices.end(),
                                                 [](Vertex a, Vertex b) { return a.y < b.y; });
    const int64_t first_row = std::max<int64_t>(low->y, 0);
    const int64_t last_row = std::min<int64_t>(int64_t{high->y} - 1, grid.height - 1);
    std::vector<Crossing> crossings;
    for (int64_t y = first_row; y <= last_row; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            Vertex a = vertices[i];
            Vertex b = vertices[(i + 1) % vertices.size()];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            if (y < a.y || y >= b.y) continue;
            const int64_t denominator = int64_t{b.y} - a.y;
            crossings.push_back(
                {Wide{a.x} * denominator + Wide{y - a.y} * (int64_t{b.x} - a.x), denominator});
        }
        std::sort(crossings.begin(), crossings.end(), crosses_before);
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            fill_span(grid, y, ceil_div(crossings[i].numerator, crossings[i].denominator),
                      ceil_div(crossings[i + 1].numerator, crossings[i + 1].denominator) - 1,
                      value);
        }
    }
}

// The filled ellipse through the sides of its box, top-left convention: pixel (x, y) is the
// point (x, y), inside when the point lies inside the ellipse whose axes run from x1 to x2 and
// from y1 to y2; a point on the curve is inside on its left half and at its top, outside on its
// right half and at its bottom. The widest row thus covers x2 - x1 pixels and the tallest column
// y2 - y1, and a box without width or height covers nothing. Offsets are counted in half pixels
// from the centre, X = 2x - (x1 + x2) and Y = 2y - (y1 + y2), so that a point is inside when
// X² H² + Y² W² < W² H² for the box's width W = x2 - x1 and height H = y2 - y1.
class FilledEllipseRows {
  public:
    FilledEllipseRows(int x1, int y1, int x2, int y2)
        : left_(std::min(x1, x2)),
          right_(std::max(x1, x2)),
          top_(std::min(y1, y2)),
          bottom_(std::max(y1, y2)),
          width_(right_ - left_),
          height_(bottom_ - top_),
          parity_((left_ + right_) & 1) {}

    int64_t top() const { return top_; }
    int64_t bottom() const { return bottom_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // The pixels of row y inside, as [from, to]; from > to when none are.
    std::pair<int64_t, int64_t> span(int64_t y) const {
        constexpr std::pair<int64_t, int64_t> none = {1, 0};
        const int64_t offset_y = 2 * y - (top_ + bottom_);
        const Wide h2 = Wide{height_} * height_;
        // X² H² is compared with the room left on this row, W² (H² - Y²).
        const Wide room = Wide{width_} * width_ * (h2 - Wide{offset_y} * offset_y);
        if (room < 0) return none;
        const int64_t left_reach = widest(room, h2, false);  // the curve itself is inside
        const int64_t right_reach = widest(room, h2, true);  // only what lies strictly inside
        // The centre column is in when inside, or when it is the top of the curve.
        const bool centre_inside = parity_ == 0 && (room > 0 || offset_y < 0);
        int64_t from_x = 0;
        if (left_reach > 0) {
            from_x = -left_reach;
        } else if (!centre_inside) {
            return none;
        }
        // With odd offsets and nothing strictly inside right of the centre, X = -1 ends the row.
        int64_t to_x = centre_inside ? 0 : -1;
        if (right_reach > 0) to_x = right_reach;
        return {(from_x + left_ + right_) / 2, (to_x + left_ + right_) / 2};
    }

  private:
    // The largest |X| of the row's parity with X² H² <= room (or < room when strict), or a
    // negative value when even the smallest fails.
    int64_t widest(Wide room, Wide h2, bool strict) const {
        const auto fits = [&](int64_t offset) {
            const Wide square = Wide{offset} * offset * h2;
            return strict ? square < room : square <= room;
        };
        const long double estimate =
            std::sqrt(static_cast<long double>(room) / static_cast<long double>(h2));
        int64_t offset = std::clamp(static_cast<int64_t>(estimate), int64_t{parity_}, width_);
        if ((offset - parity_) % 2 != 0) --offset;
        while (offset >= parity_ && !fits(offset)) offset -= 2;
        while (offset + 2 <= width_ && fits(offset + 2)) offset += 2;
        return offset >= parity_ ? offset : -1;
    }

    int64_t left_, right_, top_, bottom_, width_, height_, parity_;
};

// The outlined ellipse of a box, one row at a time; like an outlined rectangle it includes both
// corners of its box. Offsets are counted in half pixels from the box
// centre, so X = 2x - (left + right) runs from -(width - 1) to width - 1 in steps of 2, and
// likewise Y. A pixel is inside when its centre lies inside or on the ellipse through the outer
// edges of the box's border pixels: X² H² + Y² W² <= W² H² for the box's W × H pixels. Two
// additions keep the shape touching its box however thin it is: the middle row(s) always reach
// the left and right sides, and the middle column(s) the top and bottom.
class EllipseRows {
  public:
    EllipseRows(int x1, int y1, int x2, int y2)
        : left_(std::min(x1, x2)),
          right_(std::max(x1, x2)),
          top_(std::min(y1, y2)),
          bottom_(std::max(y1, y2)),
          width_(right_ - left_ + 1),
          height_(bottom_ - top_ + 1) {}

    int64_t top() const { return top_; }
    int64_t bottom() const { return bottom_; }

    // The largest |X| inside on row y, or -1 for a row outside the box.
    int64_t half_span(int64_t y) const {
        if (y < top_ || y > bottom_) return -1;
        const int64_t offset_y = 2 * y - (top_ + bottom_);
        if (std::llabs(offset_y) <= 1) return width_ - 1;
        const int64_t narrowest = (width_ - 1) % 2;
        const long double estimate = static_cast<long double>(width_) *
                                     std::sqrt(static_cast<long double>(height_ - offset_y) *
                                               static_cast<long double>(height_ + offset_y)) /
                                     static_cast<long double>(height_);
        int64_t offset_x = std::clamp(static_cast<int64_t>(estimate), narrowest, width_ - 1);
        if ((offset_x - narrowest) % 2 != 0) --offset_x;
        while (offset_x > narrowest && !inside(offset_x, offset_y)) offset_x -= 2;
        while (offset_x + 2 <= width_ - 1 && inside(offset_x + 2, offset_y)) offset_x += 2;
        return offset_x;
    }

    int64_t left_of(int64_t half_span) const { return (left_ + right_ - half_span) / 2; }
    int64_t right_of(int64_t half_span) const { return (left_ + right_ + half_span) / 2; }

  private:
    bool inside(int64_t offset_x, int64_t offset_y) const {
        const Wide w2 = Wide{width_} * width_;
        const Wide h2 = Wide{height_} * height_;
        return Wide{offset_x} * offset_x * h2 + Wide{offset_y} * offset_y * w2 <= w2 * h2;
    }

    int64_t left_, right_, top_, bottom_, width_, height_;
};

}  // namespace

void raster_line(const PixelGrid& grid, int x1, int y1, int x2, int y2, uint32_t value,
                 uint16_t mask) {
    trace_line(grid, {clamp_coordinate(x1), clamp_coordinate(y1)},
               {clamp_coordinate(x2), clamp_coordinate(y2)}, value, mask, 0, true);
}

// The outline's pattern starts at the top-left corner and runs clockwise around the four
// sides without restarting. A box one pixel high or wide is a single line.
void raster_rectangle(const PixelGrid& grid, Shape shape, int x1, int y1, int x2, int y2,
                      uint32_t value, uint16_t mask) {
    const int left = clamp_coordinate(std::min(x1, x2));
    const int right = clamp_coordinate(std::max(x1, x2));
    const int top = clamp_coordinate(std::min(y1, y2));
    const int bottom = clamp_coordinate(std::max(y1, y2));
    if (shape == Shape::filled) {
        const int first_row = std::max(top, 0);
        const int last_row = std::min(bottom, grid.height - 1);
        for (int y = first_row; y <= last_row; ++y) fill_span(grid, y, left, right, value);
        return;
    }
    if (left == right || top == bottom) {
        trace_line(grid, {left, top}, {right, bottom}, value, mask, 0, true);
        return;
    }
    trace_closed_path(grid, {{left, top}, {right, top}, {right, bottom}, {left, bottom}}, value,
                      mask);
}

// The outline is the part of the ellipse with a neighbour above, below, left or right outside
// it: a closed ring of pixels touching every side of the box.
void raster_ellipse(const PixelGrid& grid, Shape shape, int x1, int y1, int x2, int y2,
                    uint32_t value) {
    if (shape == Shape::filled) {
        const FilledEllipseRows rows(clamp_coordinate(x1), clamp_coordinate(y1),
                                     clamp_coordinate(x2), clamp_coordinate(y2));
        if (rows.empty()) return;
        const int64_t first_row = std::max<int64_t>(rows.top(), 0);
        const int64_t last_row = std::min<int64_t>(rows.bottom(), grid.height - 1);
        for (int64_t y = first_row; y <= last_row; ++y) {
            const auto [from, to] = rows.span(y);
            fill_span(grid, y, from, to, value);
        }
        return;
    }
    const EllipseRows rows(clamp_coordinate(x1), clamp_coordinate(y1), clamp_coordinate(x2),
                           clamp_coordinate(y2));
    const int64_t first_row = std::max<int64_t>(rows.top(), 0);
    const int64_t last_row = std::min<int64_t>(rows.bottom(), grid.height - 1);
    for (int64_t y = first_row; y <= last_row; ++y) {
        const int64_t span = rows.half_span(y);
        const int64_t left = rows.left_of(span);
        const int64_t right = rows.right_of(span);
        const int64_t inner = std::min(rows.half_span(y - 1), rows.half_span(y + 1));
        if (inner < 0) {
            fill_span(grid, y, left, right, value);
            continue;
        }
        // Pixels beyond the narrower neighbour row, and the two ends of the row.
        fill_span(grid, y, left, std::max(left, rows.left_of(inner) - 1), value);
        fill_span(grid, y, std::min(right, rows.right_of(inner) + 1), right, value);
    }
}

// The outline's pattern runs on from edge to edge, starting at the first point; it includes
// every vertex. The filled polygon covers only the area between its vertices (even-odd rule,
// top-left convention), not its right and bottom edges.
void raster_polygon(const PixelGrid& grid, Shape shape, std::span<const Point> points,
                    uint32_t value, uint16_t mask) {
    std::vector<Vertex> vertices;
    vertices.reserve(points.size());
    for (const Point& point : points) vertices.push_back({point.x, point.y});
    if (vertices.empty()) return;
    if (shape == Shape::filled) {
        fill_polygon_interior(grid, vertices, value);
        return;
    }
    trace_closed_path(grid, vertices, value, mask);
}

}  // namespace gfx
