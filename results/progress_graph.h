#pragma once

#include <string>

#include "gfx/canvas.h"
#include "results/results_log.h"

namespace results {

// Draws the whole results log as curves over time and waits for a mouse press.
void TRITOUT(gfx::Canvas& canvas);

// The date labels under the panels: "Beginning 05.03.2010., 14 h.  7min" (34 characters) for
// the first record of the earliest day, "End  06.03.2010.,  9 h. 30min" (29) for the latest.
std::string beginning_label(const TimeStamp& stamp);
std::string end_label(const TimeStamp& stamp);

}  // namespace results
