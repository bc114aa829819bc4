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

void start_up(gfx::Canvas& ws) {
    state::store(state::run().MODEREQ, state::k_no_request);
    ws.platform().set_exit_mode(2);
    ws.platform().set_about_text(about_text());
    ws.platform().set_frame_geometry(0, 0, 768, 1024);
    plot::PAGE(ws, 1, 650, 980, "Trainer for eyes");
    plot::SETCOL(ws, 7);
    const gfx::WindowConfig config = ws.window_config();
    state::run().NXW = config.pixel_width;
    state::run().NYW = config.pixel_height;
    ws.initialize_fonts();
    params::VVDALND(ws);
    ws.register_mouse(1, k_mouse_event_mask, on_mouse);
    state::store(state::run().MEVENT, 0);
}

}  // namespace

void main_program(gfx::Canvas& ws, const Routines& routines) {
    try {
        start_up(ws);
        MainLoop loop(ws, routines);
        load_figures(state::run().figures);
        loop.run();
    } catch (const textio::IoError& error) {
        ws.platform().report_fatal(error.message());
    }
}

}  // namespace app
