#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>

#include "exercises/training_pattern.h"
#include "gfx/canvas.h"
#include "gfx/surface.h"
#include "gfx/types.h"
#include "state/shared_state.h"

namespace exercises {

// The checker pictures, the start screen's and the training frame's, are written either into an
// image buffer that is then put on the window in one step (the image path) or straight onto the
// window (the direct path). Both places take the same two operations, a run of one row and one
// pixel, and one field drawer and one figure drawer feed either of them.

// Size in bytes of the image buffer a picture is composed in.
constexpr std::size_t k_image_buffer_size = 2'600'000;
// Bytes of the image of a 980 × 650 window at 4 bytes per pixel; only a window of that size
// gets the image path.
constexpr std::size_t k_full_window_image_size = 2'548'054;

// What the window shows for a second before a composed picture replaces it.
constexpr gfx::Colour k_grey = 0x808080;
constexpr int k_grey_blank_ms = 1000;

// True when the window of width × height pixels takes the image path.
inline bool full_window_image(const gfx::Canvas& canvas, int32_t width, int32_t height) {
    return canvas.image_size(0, 0, static_cast<int16_t>(width - 1),
                             static_cast<int16_t>(height - 1)) == k_full_window_image_size;
}

// Fills window rows top .. height - 1 grey and waits the grey second.
void grey_blank(gfx::Canvas& canvas, int32_t width, int32_t top, int32_t height);

// The pixels of an image buffer that will be put on the window at row `top`, covering window
// rows top .. height - 1 of a window `width` pixels wide. Every pixel is 4 bytes blue, green,
// red, 0, and rows are stored bottom-up: window pixel (x, y) is image row height - 1 - y counted
// from the bottom. Positions outside those rows and columns are skipped, so no write leaves the
// image data.
class BitmapView {
  public:
    BitmapView(std::span<std::byte> buffer, int32_t width, int32_t top, int32_t height)
        : pixels_(buffer.subspan(gfx::k_image_header_size,
                                 static_cast<std::size_t>(4) * width * (height - top))),
          width_(width),
          top_(top),
          height_(height) {}

    int32_t width() const { return width_; }

    // Every pixel black.
    void clear() { std::fill(pixels_.begin(), pixels_.end(), std::byte{0}); }

    void run(int32_t x_first, int32_t x_last, int32_t y, bool white) {
        if (y < top_ || y >= height_) return;
        const int32_t first = std::max(x_first, 0);
        const int32_t last = std::min(x_last, width_ - 1);
        if (first > last) return;
        const std::byte level = white ? std::byte{255} : std::byte{0};
        std::byte* bytes = at(first, y);
        for (int32_t x = first; x <= last; ++x, bytes += 4) {
            bytes[0] = level;
            bytes[1] = level;
            bytes[2] = level;
            bytes[3] = std::byte{0};
        }
    }

    void pixel(int64_t x, int64_t y, bool white) {
        if (x < 0 || x >= width_ || y < top_ || y >= height_) return;
        const std::byte level = white ? std::byte{255} : std::byte{0};
        std::byte* bytes = at(x, y);
        bytes[0] = level;
        bytes[1] = level;
        bytes[2] = level;
    }

  private:
    std::byte* at(int64_t x, int64_t y) {
        return pixels_.data() + 4 * ((height_ - 1 - y) * width_ + x);
    }

    std::span<std::byte> pixels_;
    int32_t width_;
    int32_t top_;
    int32_t height_;
};

// The image path's target: a bitmap view cleared to black on construction. The field, whose
// runs never overlap, is written first, so of its runs only the white ones need writing; the
// figure's pixels are all written, since a black one may fall on a white run.
class BlackBitmap {
  public:
    BlackBitmap(std::span<std::byte> buffer, int32_t width, int32_t top, int32_t height)
        : view_(buffer, width, top, height) {
        view_.clear();
    }

    int32_t width() const { return view_.width(); }

    void run(int32_t x_first, int32_t x_last, int32_t y, bool white) {
        if (white) view_.run(x_first, x_last, y, true);
    }
    void pixel(int64_t x, int64_t y, bool white) { view_.pixel(x, y, white); }

  private:
    BitmapView view_;
};

// Draws on the active window of width × height pixels in white and black. A run is a line,
// clipped by the platform; a pixel outside the window is skipped rather than clipped, so a
// far-off figure pixel cannot wrap into the window through the 16-bit coordinates.
class WindowPen {
  public:
    WindowPen(gfx::Canvas& canvas, int32_t width, int32_t height)
        : canvas_(canvas), width_(width), height_(height) {}

    int32_t width() const { return width_; }

    void run(int32_t x_first, int32_t x_last, int32_t y, bool white);
    void pixel(int64_t x, int64_t y, bool white);

  private:
    gfx::Canvas& canvas_;
    int32_t width_;
    int32_t height_;
};

template <typename Target>
concept PictureTarget = requires(Target& target, int32_t x, int64_t far, bool white) {
    { target.width() } -> std::convertible_to<int32_t>;
    target.run(x, x, x, white);
    target.pixel(far, far, white);
};

// Draws the field of size K on window rows y_first .. y_last, one row after the other, and
// calls row_done() after each row; a false from it stops the field. False when it was stopped.
template <PictureTarget Target, typename RowDone>
bool draw_field(Target target, int32_t K, int32_t y_first, int32_t y_last, RowDone&& row_done) {
    for (int32_t y = y_first; y <= y_last; ++y) {
        for_each_field_run(K, target.width(), y, [&](int32_t x_first, int32_t x_last, bool white) {
            target.run(x_first, x_last, y, white);
        });
        if (!row_done()) return false;
    }
    return true;
}

// Draws figure K at column offset xoff and calls point_done() after each point; a false from
// it stops the figure. False when it was stopped.
template <PictureTarget Target, typename PointDone>
bool draw_figure(Target target, const state::FigureTables& figures, int32_t K, int32_t xoff,
                 PointDone&& point_done) {
    bool stopped = false;
    for_each_figure_pixel(
        figures, K, xoff, [&](int64_t x, int64_t y, bool white) { target.pixel(x, y, white); },
        [&] {
            stopped = !point_done();
            return !stopped;
        });
    return !stopped;
}

}  // namespace exercises
