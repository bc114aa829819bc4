#include "app/menus.h"

#include "state/shared_state.h"

namespace app {

bool INITIALSETTINGS(gfx::WindowService& ws) {
    ws.set_frame_geometry(50, 50, 400, 650);
    ws.append_menu(1, gfx::k_menu_enabled, "Exit", [&ws](int) { PROGEXIT(ws); });
    ws.append_menu(2, gfx::k_menu_enabled, "Effect from training", [](int) { TRITOUT_S(); });
    ws.append_menu(3, gfx::k_menu_enabled, "User guide", [&ws](int) { ws.show_about(); });
    return true;
}

void PROGEXIT(gfx::WindowService& ws) {
    ws.close_unit(1);
    ws.beep(0, 350);
    ws.stop_program();
}

void TRITOUT_S() {
    state::store(state::MODEREQ, state::k_graph_request);
}

}  // namespace app
