#pragma once

#include <cstdint>

#include "gfx/canvas.h"

namespace exercises {

// The sight check: Landolt rings of the acuity levels chosen by a bisection of the acuity
// table, the result appended to the results log and shown as "Visual acuity" until a click.
// NXW × NYW is the window's size in pixels; the rings are centred in it. Returns at once,
// without a record, when both buttons are pressed, when a menu request arrives, or when the
// parameters cannot size a ring.
void EVETEST(gfx::Canvas& canvas, int32_t& NXW, int32_t& NYW);

}  // namespace exercises
