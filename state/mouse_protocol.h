#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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

// Keeps the moment of a press that has arrived and not yet been told by MEVENT; nullopt for a
// press without a usable stamp. Every press replaces the moment, so a press is never paired
// with an earlier one's moment.
inline void note_press_moment(std::optional<double> at_seconds) {
    run().press_seconds.store(at_seconds.value_or(std::numeric_limits<double>::quiet_NaN()),
                              std::memory_order_release);
}

// When the latest press happened, on the clock of clock_seconds(); nullopt before the first
// press and for one without a usable stamp. Read after MEVENT, it is the moment of the press
// MEVENT told of, or of a later one.
inline std::optional<double> latest_press_seconds() {
    const double at = run().press_seconds.load(std::memory_order_acquire);
    if (std::isnan(at)) return std::nullopt;
    return at;
}

// Forgets the presses that arrived so far; the latched code stays.
inline void forget_press() {
    store(run().MEVENT, 0);
}

// Anything that can pause the program thread until an input event or a timeout: the
// platform.
template <typename Platform>
concept InputWaiter = requires(Platform& platform, int timeout_ms) {
    platform.wait_for_input(timeout_ms);
};

// Waits for a press of any button, both included, that arrives after the call; the press is
// forgotten again on return.
template <InputWaiter Platform>
void wait_for_press(Platform& platform) {
    forget_press();
    while (load(run().MEVENT) == 0) platform.wait_for_input(k_mouse_wait_ms);
    forget_press();
}

// Waits until every button is up.
template <InputWaiter Platform>
void wait_until_released(Platform& platform) {
    while (load(run().MDOWN) != 0) platform.wait_for_input(k_mouse_wait_ms);
}

}  // namespace state
