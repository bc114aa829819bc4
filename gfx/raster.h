#pragma once

#include <cstdint>
#include <span>

#include "gfx/types.h"

namespace gfx {

// A block of 32-bit pixels that the rasterizer writes into. Pixel values are stored as
// they are given; the caller converts colours to the storage format.
struct PixelGrid {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from one row to the next

    void set(int x, int y, uint32_t value) const {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[y * stride + x] = value;
    }
};

// Line from (x1, y1) to (x2, y2), both end pixels included. The 16-bit style mask is
// applied pixel by pixel from its highest bit, restarting with each line; 0xFFFF is solid.
void raster_line(const PixelGrid& grid, int x1, int y1, int x2, int y2, uint32_t value,
                 uint16_t mask = 0xFFFF);

// Rectangle with both corners included, corners in any order.
void raster_rectangle(const PixelGrid& grid, Shape shape, int x1, int y1, int x2, int y2,
                      uint32_t value, uint16_t mask = 0xFFFF);

// Ellipse in the box, corners in any order. The outline includes both corners of the box, like a
// rectangle's. The filled ellipse covers the area between the coordinates: pixel (x, y) is the
// point (x, y), filled when inside the ellipse whose axes run from x1 to x2 and y1 to y2, a point
// on its left half or at its top counting as inside, on its right half or at its bottom as
// outside; so the box 0..10 gives a filled disc 10 pixels across.
void raster_ellipse(const PixelGrid& grid, Shape shape, int x1, int y1, int x2, int y2,
                    uint32_t value);

// Polygon through the points, closed back to the first one. The outline includes every vertex;
// the filled polygon (even-odd rule) covers the points inside, those on a left or top edge
// included and those on a right or bottom edge not, so a square from 0 to 4 fills 4 × 4 pixels.
void raster_polygon(const PixelGrid& grid, Shape shape, std::span<const Point> points,
                    uint32_t value, uint16_t mask = 0xFFFF);

}  // namespace gfx
