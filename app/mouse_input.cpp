#include "app/mouse_input.h"

#include "gfx/types.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace app {

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

}  // namespace app
