#pragma once

#include <cstdint>
#include <functional>

#include "gfx/canvas.h"
#include "state/shared_state.h"

namespace app {

// The routines the main loop hands the user over to. The program uses the real ones; scenario
// tests may put recording stand-ins in their place.
struct Routines {
    // TEST: one training exercise with figure NSHOWN.
    std::function<void(gfx::Canvas&, int32_t& NSHOWN, state::FigureTables& figures, int16_t& NXW,
                       int16_t& NYW)>
        training;
    // EVETEST: the sight check.
    std::function<void(gfx::Canvas&, int32_t& NXW, int32_t& NYW)> sight_check;
    // TRITOUT: the progress graph.
    std::function<void(gfx::Canvas&)> progress_graph;
};

Routines default_routines();

// The main program: start-up, then the start screen for the rest of the run. Never returns;
// it ends through the platform. A fatal file error is reported through the platform.
void main_program(gfx::Canvas& canvas, const Routines& routines = default_routines());

}  // namespace app
