#include "app/start_screen.h"

#include "exercises/picture_writer.h"
#include "exercises/training_pattern.h"
#include "gfx/platform.h"

namespace app {

namespace {

bool draw_image_mode(gfx::Canvas& canvas, int32_t S, const state::FigureTables& figures,
                     int32_t& NSHOWN, std::span<std::byte> KADRDIM, const PollCallback& poll) {
    const int32_t width = state::run().NXW;
    const int32_t height = state::run().NYW;
    exercises::grey_blank(canvas, width, 0, height);
    canvas.get_image(0, 0, static_cast<int16_t>(width - 1), static_cast<int16_t>(height - 1),
                     KADRDIM);

    exercises::BlackBitmap picture(KADRDIM, width, 0, height);
    if (!exercises::draw_field(picture, S, 0, height - 1,
                               [&] { return !poll(PollPoint::image_row); })) {
        return false;
    }
    if (poll(PollPoint::image_background)) return false;

    const int32_t XOFF = figure_offset(S);
    NSHOWN = S;
    exercises::draw_figure(picture, figures, S, XOFF, [] { return true; });
    canvas.put_image(0, 0, KADRDIM, gfx::ImageAction::copy);
    return !poll(PollPoint::image_figure);
}

bool draw_direct_mode(gfx::Canvas& canvas, int32_t S, const state::FigureTables& figures,
                      int32_t& NSHOWN, const PollCallback& poll) {
    const int32_t height = state::run().NYW;
    exercises::WindowPen pen(canvas, state::run().NXW, height);
    if (!exercises::draw_field(pen, S, 0, height - 1,
                               [&] { return !poll(PollPoint::direct_row); })) {
        return false;
    }

    const int32_t XOFF = figure_offset(S);
    NSHOWN = S;
    return exercises::draw_figure(pen, figures, S, XOFF,
                                  [&] { return !poll(PollPoint::direct_point); });
}

}  // namespace

int32_t figure_offset(int32_t S) {
    return exercises::place_figure(S).xoff;
}

bool draw_start_picture(gfx::Canvas& canvas, int32_t S, const state::FigureTables& figures,
                        int32_t& NSHOWN, std::span<std::byte> KADRDIM, const PollCallback& poll) {
    const bool image_mode =
        exercises::full_window_image(canvas, state::run().NXW, state::run().NYW) &&
        KADRDIM.size() >= exercises::k_full_window_image_size;
    if (image_mode) return draw_image_mode(canvas, S, figures, NSHOWN, KADRDIM, poll);
    return draw_direct_mode(canvas, S, figures, NSHOWN, poll);
}

}  // namespace app
