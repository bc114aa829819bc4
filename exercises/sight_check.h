#pragma once

#include <cstdint>

#include "gfx/window_service.h"

namespace exercises {

// The sight check: a search over the acuity table with Landolt rings.
void EVETEST(gfx::WindowService& ws, int32_t& NXW, int32_t& NYW);

}  // namespace exercises
