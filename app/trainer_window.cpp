#include "app/trainer_window.h"

#include "app/about_text.h"
#include "app/mouse_input.h"
#include "gfx/platform.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "state/shared_state.h"

namespace app {

void prepare_trainer(gfx::Canvas& canvas, const std::function<void(gfx::Canvas&)>& ask_parameters,
                     TrainerWindowSize size) {
    state::store(state::run().MODEREQ, state::k_no_request);
    canvas.platform().set_exit_mode(2);
    canvas.platform().set_about_text(about_text());
    canvas.platform().set_frame_geometry(0, 0, 768, 1024);
    plot::PAGE(canvas, 1, size.height, size.width, "Trainer for eyes");
    plot::SETCOL(canvas, 7);
    const gfx::WindowConfig config = canvas.window_config();
    state::run().NXW = config.pixel_width;
    state::run().NYW = config.pixel_height;
    canvas.initialize_fonts();
    if (ask_parameters) ask_parameters(canvas);
    canvas.register_mouse(1, k_mouse_event_mask, on_mouse);
    state::store(state::run().MEVENT, 0);
}

}  // namespace app
