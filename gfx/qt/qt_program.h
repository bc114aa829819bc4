#pragma once

#include <functional>

#include "gfx/canvas.h"

namespace gfx {

// Runs the program in a Qt window: makes the application object (or uses the one that exists),
// the Qt platform and its frame; calls the start-up hook on the GUI thread; shows the frame
// with the menu bar the hook built; runs the program on a thread of its own while the GUI thread
// serves the windows. The process ends through the platform: when the program returns or calls
// stop_program (status 0), or through report_fatal (status 1; an exception that escapes the
// program is reported that way). Does not return.
[[noreturn]] void run_qt_program(int argc, char** argv,
                                 const std::function<bool(Canvas&)>& startup_hook,
                                 const std::function<void(Canvas&)>& program);

}  // namespace gfx
