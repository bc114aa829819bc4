#include "exercises/training_frame.h"

#include <algorithm>
#include <span>

#include "gfx/platform.h"
#include "state/mouse_protocol.h"

namespace exercises {

namespace {

constexpr gfx::Colour k_grey = 0x808080;
constexpr int k_grey_blank_ms = 1000;

// The stimulus area composed in the image buffer. The image is put at row 20 and its bottom
// row lands on the window's last row, so window pixel (x, y) is image row height - 1 - y from
// the bottom; every pixel is 4 bytes blue, green, red, 0.
class ImageFrame {
  public:
    ImageFrame(std::span<std::byte> buffer, int32_t width, int32_t height)
        : pixels_(buffer.subspan(gfx::k_image_header_size,
                                 static_cast<std::size_t>(4) * width * (height - k_stimulus_top))),
          width_(width),
          height_(height) {}

    void clear() { std::fill(pixels_.begin(), pixels_.end(), std::byte{0}); }

    // Positions outside the stimulus area are skipped, so no write leaves the image data.
    void set(int64_t x, int64_t y, bool white) {
        if (x < 0 || x >= width_ || y < k_stimulus_top || y >= height_) return;
        const std::byte level = white ? std::byte{255} : std::byte{0};
        std::byte* bytes = at(x, y);
        bytes[0] = level;
        bytes[1] = level;
        bytes[2] = level;
    }

    void set_white_run(int32_t x_first, int32_t x_last, int32_t y) {
        if (y < k_stimulus_top || y >= height_) return;
        const int32_t first = std::max(x_first, 0);
        const int32_t last = std::min(x_last, width_ - 1);
        if (first > last) return;
        std::byte* bytes = at(first, y);
        for (int32_t x = first; x <= last; ++x, bytes += 4) {
            bytes[0] = std::byte{255};
            bytes[1] = std::byte{255};
            bytes[2] = std::byte{255};
            bytes[3] = std::byte{0};
        }
    }

  private:
    std::byte* at(int64_t x, int64_t y) {
        return pixels_.data() + 4 * ((height_ - 1 - y) * width_ + x);
    }

    std::span<std::byte> pixels_;
    int32_t width_;
    int32_t height_;
};

}  // namespace

FrameDrawer::FrameDrawer(gfx::Canvas& ws, int16_t width, int16_t height)
    : ws_(ws), width_(width), height_(height) {
    const int16_t right = static_cast<int16_t>(width - 1);
    image_path_ =
        ws.image_size(0, 0, right, static_cast<int16_t>(height - 1)) == k_full_window_image_size &&
        height > k_stimulus_top;
    if (!image_path_) return;
    KADRDIM.assign(k_frame_buffer_size, std::byte{0});
    ws.get_image(0, 0, right, static_cast<int16_t>(height - k_stimulus_top - 1), KADRDIM);
}

std::optional<FigurePlacement> FrameDrawer::draw(int32_t K, const state::FigureTables& figures) {
    return image_path_ ? draw_image(K, figures) : draw_direct(K, figures);
}

std::optional<FigurePlacement> FrameDrawer::draw_image(int32_t K,
                                                       const state::FigureTables& figures) {
    // Row 20 keeps the previous frame during the grey second; the new image covers it.
    ws_.set_colour(k_grey);
    ws_.rectangle(gfx::Shape::filled, 0, static_cast<int16_t>(k_stimulus_top + 1),
                  static_cast<int16_t>(width_ - 1), static_cast<int16_t>(height_ - 1));
    ws_.platform().sleep_ms(k_grey_blank_ms);

    ImageFrame frame(KADRDIM, width_, height_);
    frame.clear();
    for (int32_t y = k_stimulus_top; y <= height_; ++y) {
        for_each_field_run(K, width_, y, [&](int32_t x_first, int32_t x_last, bool white) {
            if (white) frame.set_white_run(x_first, x_last, y);
        });
        if (state::both_buttons()) return std::nullopt;
    }

    const FigurePlacement placement = place_figure(K);
    bool abandoned = false;
    for_each_figure_pixel(
        figures, K, placement.xoff,
        [&](int64_t x, int64_t y, bool white) { frame.set(x, y, white); },
        [&] {
            abandoned = state::both_buttons();
            return !abandoned;
        });
    if (abandoned) return std::nullopt;

    ws_.put_image(0, static_cast<int16_t>(k_stimulus_top), KADRDIM, gfx::ImageAction::copy);
    return placement;
}

std::optional<FigurePlacement> FrameDrawer::draw_direct(int32_t K,
                                                        const state::FigureTables& figures) {
    // Drawn over the previous frame, with no blank between: the new field replaces it row by
    // row. The row below the window is clipped by the service.
    for (int32_t y = k_stimulus_top; y <= height_; ++y) {
        for_each_field_run(K, width_, y, [&](int32_t x_first, int32_t x_last, bool white) {
            ws_.set_colour(white ? gfx::k_white : gfx::k_black);
            ws_.move_to(static_cast<int16_t>(x_first), static_cast<int16_t>(y));
            ws_.line_to(static_cast<int16_t>(x_last), static_cast<int16_t>(y));
        });
        if (state::both_buttons()) return std::nullopt;
    }

    const FigurePlacement placement = place_figure(K);
    bool abandoned = false;
    for_each_figure_pixel(
        figures, K, placement.xoff,
        [&](int64_t x, int64_t y, bool white) {
            // Skipped rather than clipped: a far-off pixel must not wrap into the window.
            if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
            ws_.set_pixel(static_cast<int16_t>(x), static_cast<int16_t>(y),
                          white ? gfx::k_white : gfx::k_black);
        },
        [&] {
            abandoned = state::both_buttons();
            return !abandoned;
        });
    if (abandoned) return std::nullopt;
    return placement;
}

}  // namespace exercises
