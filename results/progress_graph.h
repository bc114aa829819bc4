#pragma once

#include <string>

#include "gfx/canvas.h"
#include "results/results_log.h"

namespace results {

// Draws the whole results log as curves over time and waits for a mouse press.
void TRITOUT(gfx::Canvas& canvas);

// The graph of the log `log_name` on the active window, as TRITOUT draws it, but for the
// closing message under the panels, which asks for the press TRITOUT waits for: the window is
// cleared, and the message's place stays background.
void draw_progress_graph(gfx::Canvas& canvas, const std::string& log_name);

// The date labels under the panels: "Beginning 05.03.2010., 14 h.  7min" (34 characters) for
// the first record of the earliest day, "End  06.03.2010.,  9 h. 30min" (29) for the latest.
std::string beginning_label(const TimeStamp& stamp);
std::string end_label(const TimeStamp& stamp);

}  // namespace results
