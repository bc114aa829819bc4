#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/font_spec.h"
#include "gfx/raster.h"
#include "gfx/types.h"

namespace gfx {

// How put_image combines the image with the window pixels.
enum class ImageAction { or_ = 0, and_ = 1, copy_inverted = 2, copy = 3, xor_ = 4 };

// Size of the bitmap-file header plus the information header in front of the pixels.
constexpr std::size_t k_image_header_size = 54;

// A rectangle of pixels, both corners included; empty when a first corner lies past the second.
struct PixelArea {
    int x1 = 0;
    int y1 = 0;
    int x2 = -1;
    int y2 = -1;
    bool empty() const { return x1 > x2 || y1 > y2; }
    bool operator==(const PixelArea&) const = default;
};

// The 32-bit pixel surface of one child window. Every operation locks the surface, so the
// program thread may draw while the window thread presents; a whole image put is one locked
// step, so a picture never shows half-replaced. Pixels are stored as 0xFFRRGGBB.
class Surface {
  public:
    Surface(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    void fill(Colour colour);
    void set_pixel(int x, int y, Colour colour);
    Colour pixel(int x, int y) const;  // black outside the surface

    void line(int x1, int y1, int x2, int y2, Colour colour, uint16_t mask);
    void rectangle(Shape shape, int x1, int y1, int x2, int y2, Colour colour, uint16_t mask);
    void ellipse(Shape shape, int x1, int y1, int x2, int y2, Colour colour);
    void polygon(Shape shape, std::span<const Point> points, Colour colour, uint16_t mask);

    // Draws the text with its top-left corner at (x, y), turned counter-clockwise by
    // rotation_tenths tenths of a degree, transparent background. Returns the advance in
    // pixels along the text's direction.
    int draw_text(int x, int y, std::string_view utf8, const FontSpec& font, int rotation_tenths,
                  Colour colour);

    // Bytes of the bitmap-file image of the rectangle, both corners included.
    static std::size_t image_size(int x1, int y1, int x2, int y2);
    // Writes the image of the rectangle into the buffer; false when the buffer is too small.
    bool get_image(int x1, int y1, int x2, int y2, std::span<std::byte> buffer) const;
    // Draws the image with its top-left corner at (x, y); false when the buffer is not a
    // 32-bit image this surface understands.
    bool put_image(int x, int y, std::span<const std::byte> buffer, ImageAction action);

    // Runs the function with the pixels under the surface's lock; returns the generation of
    // the pixels it was given.
    uint64_t read(
        const std::function<void(const uint32_t* pixels, int width, int height)>& fn) const;
    // Counts changes, so a presenter can tell whether anything new is there.
    uint64_t generation() const;
    // What changed since the last call: the generation reached, and the smallest rectangle of
    // the surface holding every pixel changed since then (empty when nothing changed), so a
    // presenter needs to show only that.
    struct Changes {
        uint64_t generation = 0;
        PixelArea area;
    };
    Changes take_changes();

  private:
    PixelGrid grid();
    // Counts a change of the pixels in the area (clipped to the surface); the lock is held.
    void changed(PixelArea area);
    PixelArea whole() const { return PixelArea{0, 0, width_ - 1, height_ - 1}; }

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
    uint64_t generation_ = 0;
    PixelArea changed_area_;  // since the last take_changes
    mutable std::mutex mutex_;
};

// Converts 0x00BBGGRR to the surface's 0xFFRRGGBB and back.
constexpr uint32_t to_stored(Colour colour) {
    return 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
constexpr Colour from_stored(uint32_t stored) {
    return ((stored >> 16) & 0xFFu) | (stored & 0xFF00u) | ((stored & 0xFFu) << 16);
}

}  // namespace gfx
