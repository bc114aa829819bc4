#include "app/main_program.h"

#include <vector>

#include "app/about_text.h"
#include "app/figure_file.h"
#include "app/main_loop.h"
#include "app/mouse_input.h"
#include "exercises/sight_check.h"
#include "exercises/training.h"
#include "gfx/platform.h"
#include "params/parameters_dialog.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "results/progress_graph.h"
#include "textio/io_error.h"

namespace app {

Routines default_routines() {
    return Routines{exercises::TEST, exercises::EVETEST, results::TRITOUT};
}

namespace {

void start_up(gfx::Canvas& canvas) {
    state::store(state::run().MODEREQ, state::k_no_request);
    canvas.platform().set_exit_mode(2);
    canvas.platform().set_about_text(about_text());
    canvas.platform().set_frame_geometry(0, 0, 768, 1024);
    plot::PAGE(canvas, 1, 650, 980, "Trainer for eyes");
    plot::SETCOL(canvas, 7);
    const gfx::WindowConfig config = canvas.window_config();
    state::run().NXW = config.pixel_width;
    state::run().NYW = config.pixel_height;
    canvas.initialize_fonts();
    params::VVDALND(canvas);
    canvas.register_mouse(1, k_mouse_event_mask, on_mouse);
    state::store(state::run().MEVENT, 0);
}

}  // namespace

void main_program(gfx::Canvas& canvas, const Routines& routines) {
    try {
        start_up(canvas);
        MainLoop loop(canvas, routines);
        load_figures(state::run().figures);
        loop.run();
    } catch (const textio::IoError& error) {
        canvas.platform().report_fatal(error.message());
    }
}

}  // namespace app
