#pragma once

#include <optional>

namespace app {

// Mouse event mask the program listens to: left down and up, right down and up.
constexpr int k_mouse_event_mask = 27;

// The mouse callback: condenses every selected event into MDOWN, MBUTTON and MEVENT, stored in
// that order. Runs on the window thread and never blocks.
void TYPXY(int unit, int event, int key_state, int x, int y);

// The routine the graphics window hands its mouse events to: keeps a press's moment, then
// calls TYPXY, so the moment is stored before the press's MEVENT.
void on_mouse(int unit, int event, int key_state, int x, int y, std::optional<double> at_seconds);

}  // namespace app
