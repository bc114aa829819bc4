#include "app/mouse_input.h"

#include "gfx/types.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace app {

namespace {

// The events that press a button: a press, and the second press of a double click.
constexpr int k_press_events =
    gfx::k_left_down | gfx::k_left_double | gfx::k_right_down | gfx::k_right_double;

}  // namespace

void TYPXY(int /*unit*/, int /*event*/, int key_state, int /*x*/, int /*y*/) {
    // Only the two buttons make the code. A Shift or Ctrl held during a click would otherwise
    // latch a code of 4 or more that no check recognises, and clicks would be ignored for the
    // rest of the run.
    const int32_t code = key_state & (gfx::k_key_left | gfx::k_key_right);
    state::store(state::run().MDOWN, code);
    // Both buttons stay latched until the program thread clears them.
    if (code != 0 && state::load(state::run().MBUTTON) < state::k_both_buttons) {
        state::store(state::run().MBUTTON, code);
    }
    if (code != 0) state::store(state::run().MEVENT, 1);
}

void on_mouse(int unit, int event, int key_state, int x, int y, std::optional<double> at_seconds) {
    if ((event & k_press_events) != 0) state::note_press_moment(at_seconds);
    TYPXY(unit, event, key_state, x, y);
}

}  // namespace app
