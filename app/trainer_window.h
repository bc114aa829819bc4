#pragma once

#include <cstdint>
#include <functional>

#include "gfx/canvas.h"

namespace app {

// The size the program asks for its graphics window. A window of another size is drawn on the
// direct path; tests ask for one to reach it.
struct TrainerWindowSize {
    int16_t width = 980;
    int16_t height = 650;
};

// Prepares the trainer as start-up leaves it for the start screen and the exercises: no request
// pending, windows that close without asking, the About text, the frame at (0, 0) 1024 x 768,
// the graphics window "Trainer for eyes" on unit 1 in colour 7, NXW and NYW from it, the fonts,
// then `ask_parameters` (at start-up the parameters dialog, which may end the program), then the
// mouse routine on unit 1 and MEVENT cleared. The mouse routine comes after the parameters, so
// a press before the start screen leaves no trace in the mouse state.
void prepare_trainer(gfx::Canvas& canvas,
                     const std::function<void(gfx::Canvas&)>& ask_parameters = {},
                     TrainerWindowSize size = {});

}  // namespace app
