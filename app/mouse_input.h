#pragma once

namespace app {

// Mouse event mask the program listens to: left down and up, right down and up.
constexpr int k_mouse_event_mask = 27;

// The mouse callback: condenses every selected event into MDOWN, MBUTTON and MEVENT, stored in
// that order. Runs on the window thread and never blocks.
void TYPXY(int unit, int event, int key_state, int x, int y);

}  // namespace app
