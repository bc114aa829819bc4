#include "app/menus.h"

#include "gfx/platform.h"
#include "state/shared_state.h"

namespace app {

bool INITIALSETTINGS(gfx::Canvas& ws) {
    ws.platform().set_frame_geometry(50, 50, 400, 650);
    ws.platform().append_menu(1, gfx::k_menu_enabled, "Exit", [&ws](int) { PROGEXIT(ws); });
    ws.platform().append_menu(2, gfx::k_menu_enabled, "Effect from training",
                              [](int) { TRITOUT_S(); });
    ws.platform().append_menu(3, gfx::k_menu_enabled, "User guide",
                              [&ws](int) { ws.platform().show_about(); });
    return true;
}

void PROGEXIT(gfx::Canvas& ws) {
    ws.close_unit(1);
    ws.platform().beep(0, 350);
    ws.platform().stop_program();
}

void TRITOUT_S() {
    state::store(state::run().MODEREQ, state::k_graph_request);
}

}  // namespace app
