#pragma once

#include <cstdint>

#include "gfx/window_service.h"
#include "state/shared_state.h"

namespace exercises {

// The training exercise with figure NSHOWN: presentations, answers, summary, log record.
void TEST(gfx::WindowService& ws, int32_t& NSHOWN, state::FigureTables& figures, int16_t& NXW,
          int16_t& NYW);

}  // namespace exercises
