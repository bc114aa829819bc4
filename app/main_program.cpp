#include "app/main_program.h"

#include <vector>

#include "app/figure_file.h"
#include "app/main_loop.h"
#include "app/trainer_window.h"
#include "exercises/sight_check.h"
#include "exercises/training.h"
#include "gfx/platform.h"
#include "params/parameters_dialog.h"
#include "results/progress_graph.h"
#include "textio/io_error.h"

namespace app {

Routines default_routines() {
    return Routines{exercises::TEST, exercises::EVETEST, results::TRITOUT};
}

void main_program(gfx::Canvas& canvas, const Routines& routines) {
    try {
        prepare_trainer(canvas, params::VVDALND);
        MainLoop loop(canvas, routines);
        load_figures(state::run().figures);
        loop.run();
    } catch (const textio::IoError& error) {
        canvas.platform().report_fatal(error.message());
    }
}

}  // namespace app
