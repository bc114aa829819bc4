#include "app/start_screen.h"

#include <algorithm>

#include "exercises/training_pattern.h"
#include "gfx/platform.h"

namespace app {

namespace {

constexpr gfx::Colour k_grey = 0x808080;
constexpr int k_grey_blank_ms = 1000;

// Writes into the composed image: pixel (x, y) of the window is image row NYW - 1 - y counted
// from the bottom, 4 bytes blue, green, red, 0.
class ImageCanvas {
  public:
    ImageCanvas(std::span<std::byte> buffer, int32_t width, int32_t height)
        : buffer_(buffer), width_(width), height_(height) {}

    void clear_pixels() {
        const std::size_t end = gfx::k_image_header_size + pixel_bytes();
        std::fill(buffer_.begin() + gfx::k_image_header_size, buffer_.begin() + end, std::byte{0});
    }

    void set(int64_t x, int64_t y, bool white) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        const std::size_t pixel = static_cast<std::size_t>((height_ - 1 - y) * width_ + x);
        std::byte* bytes = buffer_.data() + gfx::k_image_header_size + 4 * pixel;
        const std::byte level = white ? std::byte{255} : std::byte{0};
        bytes[0] = level;
        bytes[1] = level;
        bytes[2] = level;
    }

    void set_run(int32_t x_first, int32_t x_last, int32_t y, bool white) {
        const int32_t last = std::min(x_last, width_ - 1);
        for (int32_t x = std::max(x_first, 0); x <= last; ++x) set(x, y, white);
    }

  private:
    std::size_t pixel_bytes() const { return static_cast<std::size_t>(4) * width_ * height_; }

    std::span<std::byte> buffer_;
    int32_t width_;
    int32_t height_;
};

bool inside(int64_t x, int64_t y, int32_t width, int32_t height) {
    return x >= 0 && y >= 0 && x < width && y < height;
}

bool draw_image_mode(gfx::Canvas& ws, int32_t S, const state::FigureTables& figures,
                     int32_t& NSHOWN, std::span<std::byte> KADRDIM, const PollCallback& poll) {
    const int32_t width = state::run().NXW;
    const int32_t height = state::run().NYW;
    ws.set_colour(k_grey);
    ws.rectangle(gfx::Shape::filled, 0, 0, static_cast<int16_t>(width - 1),
                 static_cast<int16_t>(height - 1));
    ws.platform().sleep_ms(k_grey_blank_ms);
    ws.get_image(0, 0, static_cast<int16_t>(width - 1), static_cast<int16_t>(height - 1), KADRDIM);

    ImageCanvas canvas(KADRDIM, width, height);
    canvas.clear_pixels();
    for (int32_t y = 0; y < height; ++y) {
        exercises::for_each_field_run(S, width, y,
                                      [&](int32_t x_first, int32_t x_last, bool white) {
                                          if (white) canvas.set_run(x_first, x_last, y, true);
                                      });
        if (poll(PollPoint::image_row)) return false;
    }
    if (poll(PollPoint::image_background)) return false;

    const int32_t XOFF = figure_offset(S);
    NSHOWN = S;
    exercises::for_each_figure_pixel(
        figures, S, XOFF, [&](int64_t x, int64_t y, bool white) { canvas.set(x, y, white); },
        [] { return true; });
    ws.put_image(0, 0, KADRDIM, gfx::ImageAction::copy);
    return !poll(PollPoint::image_figure);
}

bool draw_direct_mode(gfx::Canvas& ws, int32_t S, const state::FigureTables& figures,
                      int32_t& NSHOWN, const PollCallback& poll) {
    const int32_t width = state::run().NXW;
    const int32_t height = state::run().NYW;
    for (int32_t y = 0; y < height; ++y) {
        exercises::for_each_field_run(
            S, width, y, [&](int32_t x_first, int32_t x_last, bool white) {
                ws.set_colour(white ? gfx::k_white : gfx::k_black);
                ws.move_to(static_cast<int16_t>(x_first), static_cast<int16_t>(y));
                ws.line_to(static_cast<int16_t>(x_last), static_cast<int16_t>(y));
            });
        if (poll(PollPoint::direct_row)) return false;
    }

    const int32_t XOFF = figure_offset(S);
    NSHOWN = S;
    bool abandoned = false;
    exercises::for_each_figure_pixel(
        figures, S, XOFF,
        [&](int64_t x, int64_t y, bool white) {
            // Skipped rather than clipped: a far-off pixel must not wrap into the window.
            if (!inside(x, y, width, height)) return;
            ws.set_pixel(static_cast<int16_t>(x), static_cast<int16_t>(y),
                         white ? gfx::k_white : gfx::k_black);
        },
        [&] {
            abandoned = poll(PollPoint::direct_point);
            return !abandoned;
        });
    return !abandoned;
}

}  // namespace

int32_t figure_offset(int32_t S) {
    return exercises::place_figure(S).xoff;
}

bool draw_start_picture(gfx::Canvas& ws, int32_t S, const state::FigureTables& figures,
                        int32_t& NSHOWN, std::span<std::byte> KADRDIM, const PollCallback& poll) {
    const int16_t right = static_cast<int16_t>(state::run().NXW - 1);
    const int16_t bottom = static_cast<int16_t>(state::run().NYW - 1);
    const bool image_mode = ws.image_size(0, 0, right, bottom) == k_full_window_image_size &&
                            KADRDIM.size() >= k_full_window_image_size;
    if (image_mode) return draw_image_mode(ws, S, figures, NSHOWN, KADRDIM, poll);
    return draw_direct_mode(ws, S, figures, NSHOWN, poll);
}

}  // namespace app
