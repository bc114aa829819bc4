#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "exercises/training_pattern.h"
#include "gfx/canvas.h"
#include "state/shared_state.h"

namespace exercises {

// First window row of the stimulus area; the progress and signal bars lie above it.
constexpr int32_t k_stimulus_top = 20;

// Draws the stimulus of each presentation, a textured field with the figure at a random side,
// on a window of width × height pixels. On the full-size window a frame is composed in memory
// after a second of grey and shown in one step (the image path); on any other window it is
// drawn row by row and pixel by pixel (the direct path).
class FrameDrawer {
  public:
    // Chooses the path and, on the image path, captures the stimulus area once, which gives the
    // buffer a valid image header. Call it after the bars are drawn.
    FrameDrawer(gfx::Canvas& canvas, int16_t width, int16_t height);

    bool image_path() const { return image_path_; }

    // Draws one frame with figure K. Both buttons pressed together, seen after any
    // field row or figure point, abandon the frame where it stands: nullopt.
    std::optional<FigurePlacement> draw(int32_t K, const state::FigureTables& figures);

  private:
    std::optional<FigurePlacement> draw_image(int32_t K, const state::FigureTables& figures);
    std::optional<FigurePlacement> draw_direct(int32_t K, const state::FigureTables& figures);

    gfx::Canvas& canvas_;
    int32_t width_;
    int32_t height_;
    bool image_path_;
    std::vector<std::byte> KADRDIM;
};

}  // namespace exercises
