#include "exercises/picture_writer.h"

#include "gfx/platform.h"

namespace exercises {

void grey_blank(gfx::Canvas& canvas, int32_t width, int32_t top, int32_t height) {
    canvas.set_colour(k_grey);
    canvas.rectangle(gfx::Shape::filled, 0, static_cast<int16_t>(top),
                     static_cast<int16_t>(width - 1), static_cast<int16_t>(height - 1));
    canvas.platform().sleep_ms(k_grey_blank_ms);
}

void WindowPen::run(int32_t x_first, int32_t x_last, int32_t y, bool white) {
    canvas_.set_colour(white ? gfx::k_white : gfx::k_black);
    canvas_.move_to(static_cast<int16_t>(x_first), static_cast<int16_t>(y));
    canvas_.line_to(static_cast<int16_t>(x_last), static_cast<int16_t>(y));
}

void WindowPen::pixel(int64_t x, int64_t y, bool white) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    canvas_.set_pixel(static_cast<int16_t>(x), static_cast<int16_t>(y),
                      white ? gfx::k_white : gfx::k_black);
}

}  // namespace exercises
