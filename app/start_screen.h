#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "gfx/canvas.h"
#include "state/shared_state.h"

namespace app {

// Places in the drawing of a start screen picture where the main loop looks at the mouse.
enum class PollPoint {
    image_row,         // after each background row composed in the buffer
    image_background,  // once, after the whole background is composed
    direct_row,        // after each background row drawn on the window
    image_figure,      // once, after the composed picture was put on the window
    direct_point,      // after the block of each figure point was drawn
};

// Returns true when the picture must be abandoned where it stands.
using PollCallback = std::function<bool(PollPoint)>;

// Draws the start screen picture of size S: the line grating cut into stripes S pixels wide
// and the checker-block figure S at a random side. When the window has the full size and
// KADRDIM can hold its image (image mode), the picture is composed in KADRDIM after a second of
// grey and shown in one step; otherwise it is drawn on the window directly. NSHOWN becomes S
// when the figure stage begins. Returns false when a poll point abandoned the picture.
bool draw_start_picture(gfx::Canvas& canvas, int32_t S, const state::FigureTables& figures,
                        int32_t& NSHOWN, std::span<std::byte> KADRDIM, const PollCallback& poll);

// Horizontal offset of the figure: 20 or 450, rounded down to a multiple of S, the side drawn
// from RAN11 as for a training presentation.
int32_t figure_offset(int32_t S);

}  // namespace app
