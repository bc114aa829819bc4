#pragma once

#include <cstdint>

#include "gfx/canvas.h"
#include "state/shared_state.h"

namespace exercises {

// The training exercise with figure NSHOWN on a window of NXW × NYW pixels: NVOL
// presentations of the figure at a random side of a textured field, each answered with the
// matching mouse button within TANS seconds; then the summary with the push-up prescription,
// one record in the results log, and a wait for a click. Both buttons together, or a menu
// request during an answer window, abandon it at once with no summary and no record.
void TEST(gfx::Canvas& canvas, int32_t& NSHOWN, state::FigureTables& figures, int16_t& NXW,
          int16_t& NYW);

}  // namespace exercises
