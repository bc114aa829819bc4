#include "app/menus.h"

#include "gfx/platform.h"
#include "state/shared_state.h"

namespace app {

bool INITIALSETTINGS(gfx::Canvas& canvas) {
    canvas.platform().set_frame_geometry(50, 50, 400, 650);
    canvas.platform().append_menu(1, gfx::k_menu_enabled, "Exit",
                                  [&canvas](int) { PROGEXIT(canvas); });
    canvas.platform().append_menu(2, gfx::k_menu_enabled, "Effect from training",
                                  [](int) { TRITOUT_S(); });
    canvas.platform().append_menu(3, gfx::k_menu_enabled, "User guide",
                                  [&canvas](int) { canvas.platform().show_about(); });
    return true;
}

void PROGEXIT(gfx::Canvas& canvas) {
    canvas.close_unit(1);
    canvas.platform().beep(0, 350);
    canvas.platform().stop_program();
}

void TRITOUT_S() {
    state::store(state::run().MODEREQ, state::k_graph_request);
}

}  // namespace app
