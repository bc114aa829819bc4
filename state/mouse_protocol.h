#pragma once

#include <cstdint>

#include "state/shared_state.h"

namespace state {

// What the program thread reads from the mouse atomics, and how it waits for them. The window
// thread's callback stores MDOWN, MBUTTON and MEVENT in that order; every reader here loads
// them in the reverse order, so a press seen in MEVENT comes with the codes stored before it.

// Button codes of MBUTTON and MDOWN.
constexpr int32_t k_left_button = 1;
constexpr int32_t k_right_button = 2;
constexpr int32_t k_both_buttons = 3;

// Bound of one pause of a wait for the mouse: every event ends the pause at once, so this only
// bounds how long one pause sleeps without one.
constexpr int k_mouse_wait_ms = 100;

// Both buttons were down together since MBUTTON was last cleared; the code stays latched.
inline bool both_buttons() {
    return load(run().MBUTTON) == k_both_buttons;
}

// A menu command asked for the sight check or the progress graph.
inline bool request_pending() {
    return load(run().MODEREQ) != k_no_request;
}

// A press arrived since MEVENT was last cleared.
inline bool press_arrived() {
    return load(run().MEVENT) == 1;
}

// The code latched by the presses so far: the answer given by a press that arrived.
inline int32_t latched_button() {
    return load(run().MBUTTON);
}

// A click of `button` alone is complete: a press arrived, it latched that code, and every
// button is up again.
inline bool click_completed(int32_t button) {
    return load(run().MEVENT) == 1 && load(run().MBUTTON) == button && load(run().MDOWN) == 0;
}

// Forgets the presses that arrived so far; the latched code stays.
inline void forget_press() {
    store(run().MEVENT, 0);
}

// Anything that can pause the program thread until an input event or a timeout: the
// platform.
template <typename Service>
concept InputWaiter = requires(Service& service, int timeout_ms) {
    service.wait_for_input(timeout_ms);
};

// Waits for a press of any button, both included, that arrives after the call; the press is
// forgotten again on return.
template <InputWaiter Service>
void wait_for_press(Service& service) {
    forget_press();
    while (load(run().MEVENT) == 0) service.wait_for_input(k_mouse_wait_ms);
    forget_press();
}

// Waits until every button is up.
template <InputWaiter Service>
void wait_until_released(Service& service) {
    while (load(run().MDOWN) != 0) service.wait_for_input(k_mouse_wait_ms);
}

}  // namespace state
