#pragma once

#include "gfx/window_service.h"

namespace results {

// Draws the whole results log as curves over time and waits for a mouse press.
void TRITOUT(gfx::WindowService& ws);

}  // namespace results
