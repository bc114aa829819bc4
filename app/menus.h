#pragma once

#include "gfx/canvas.h"

namespace app {

// Start-up hook: sizes the frame window and builds the menu bar "Exit", "Effect from training",
// "User guide". Called by the platform before the main program starts.
bool INITIALSETTINGS(gfx::Canvas& canvas);

// "Exit": closes the graphics window and ends the program at once, from the window thread.
void PROGEXIT(gfx::Canvas& canvas);

// "Effect from training": asks the main loop to draw the progress graph.
void TRITOUT_S();

}  // namespace app
