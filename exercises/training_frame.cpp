#include "exercises/training_frame.h"

#include "exercises/picture_writer.h"
#include "gfx/platform.h"
#include "state/mouse_protocol.h"

namespace exercises {

namespace {

// The field on the stimulus rows, then the figure at a random side. Both buttons, seen after
// any field row or figure point, abandon it where it stands: nullopt.
template <PictureTarget Target>
std::optional<FigurePlacement> draw_stimulus(Target target, int32_t K, int32_t height,
                                             const state::FigureTables& figures) {
    const auto go_on = [] { return !state::both_buttons(); };
    // The field runs one row past the window's last; the target leaves that row out.
    if (!draw_field(target, K, k_stimulus_top, height, go_on)) return std::nullopt;
    const FigurePlacement placement = place_figure(K);
    if (!draw_figure(target, figures, K, placement.xoff, go_on)) return std::nullopt;
    return placement;
}

}  // namespace

FrameDrawer::FrameDrawer(gfx::Canvas& canvas, int16_t width, int16_t height)
    : canvas_(canvas), width_(width), height_(height) {
    image_path_ = full_window_image(canvas, width, height) && height > k_stimulus_top;
    if (!image_path_) return;
    KADRDIM.assign(k_image_buffer_size, std::byte{0});
    canvas.get_image(0, 0, static_cast<int16_t>(width - 1),
                     static_cast<int16_t>(height - k_stimulus_top - 1), KADRDIM);
}

std::optional<FigurePlacement> FrameDrawer::draw(int32_t K, const state::FigureTables& figures) {
    return image_path_ ? draw_image(K, figures) : draw_direct(K, figures);
}

std::optional<FigurePlacement> FrameDrawer::draw_image(int32_t K,
                                                       const state::FigureTables& figures) {
    // Row 20 keeps the previous frame during the grey second; the new image covers it.
    grey_blank(canvas_, width_, k_stimulus_top + 1, height_);

    BlackBitmap frame(KADRDIM, width_, k_stimulus_top, height_);
    const std::optional<FigurePlacement> placement = draw_stimulus(frame, K, height_, figures);
    if (!placement) return std::nullopt;
    canvas_.put_image(0, static_cast<int16_t>(k_stimulus_top), KADRDIM, gfx::ImageAction::copy);
    return placement;
}

std::optional<FigurePlacement> FrameDrawer::draw_direct(int32_t K,
                                                        const state::FigureTables& figures) {
    // Drawn over the previous frame, with no blank between: the new field replaces it row by
    // row.
    WindowPen pen(canvas_, width_, height_);
    return draw_stimulus(pen, K, height_, figures);
}

}  // namespace exercises
