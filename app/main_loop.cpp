#include "app/main_loop.h"

#include "exercises/picture_writer.h"
#include "gfx/platform.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace app {

namespace {

constexpr int k_hold_poll_ms = 200;
constexpr float k_hold_seconds = 5.0f;

using state::load;
using state::store;

}  // namespace

MainLoop::MainLoop(gfx::Canvas& canvas, const Routines& routines)
    : canvas_(canvas), routines_(routines), KADRDIM(exercises::k_image_buffer_size) {}

void MainLoop::run() {
    for (;;) {
        serve_requests();
        if (!run_pass()) continue;
        if (pass_step_ == 1) {
            pass_start_ = 8;
            pass_end_ = 2;
        } else {
            pass_start_ = 3;
            pass_end_ = 9;
        }
        pass_step_ = -pass_step_;
    }
}

void MainLoop::serve_requests() {
    if (load(state::run().MODEREQ) == state::k_sight_check_request) {
        store(state::run().MODEREQ, state::k_no_request);
        int32_t width = state::run().NXW;
        int32_t height = state::run().NYW;
        routines_.sight_check(canvas_, width, height);
        state::wait_until_released(canvas_.platform());
        state::forget_press();
    }
    if (load(state::run().MODEREQ) == state::k_graph_request) {
        store(state::run().MODEREQ, state::k_no_request);
        routines_.progress_graph(canvas_);
        state::forget_press();
    }
}

bool MainLoop::run_pass() {
    const int32_t steps = (pass_end_ - pass_start_ + pass_step_) / pass_step_;
    int32_t size = pass_start_;
    for (int32_t step = 0; step < steps; ++step, size += pass_step_) {
        if (!size_step(size)) return false;
    }
    return true;
}

bool MainLoop::size_step(int32_t size) {
    const bool complete = draw_start_picture(canvas_, size, state::run().figures, NSHOWN, KADRDIM,
                                             [this](PollPoint point) { return checks_at(point); });
    if (!complete) return false;

    const double hold_start = canvas_.platform().clock_seconds();
    for (;;) {
        canvas_.platform().sleep_ms(k_hold_poll_ms);
        const float elapsed = static_cast<float>(canvas_.platform().clock_seconds() - hold_start);
        if (hold_check()) return false;
        if (elapsed >= k_hold_seconds) return true;
    }
}

bool MainLoop::checks_at(PollPoint point) {
    switch (point) {
        case PollPoint::image_row:
            return checks({Check::both}, LeftVariant::drawing);
        case PollPoint::image_background:
        case PollPoint::direct_row:
            return checks({Check::request, Check::both, Check::right, Check::left},
                          LeftVariant::drawing);
        case PollPoint::image_figure:
        case PollPoint::direct_point:
            return checks({Check::both, Check::request, Check::right}, LeftVariant::drawing);
    }
    return false;
}

bool MainLoop::hold_check() {
    return checks({Check::request, Check::both, Check::right, Check::left}, LeftVariant::hold);
}

bool MainLoop::checks(std::initializer_list<Check> order, LeftVariant variant) {
    for (const Check check : order) {
        switch (check) {
            case Check::both:
                if (state::both_buttons()) {
                    state::wait_until_released(canvas_.platform());
                    canvas_.close_unit(1);
                    canvas_.platform().stop_program();
                }
                break;
            case Check::request:
                if (state::request_pending()) return true;
                break;
            case Check::right:
                if (state::click_completed(state::k_right_button)) {
                    store(state::run().MODEREQ, state::k_sight_check_request);
                    return true;
                }
                break;
            case Check::left:
                if (state::click_completed(state::k_left_button)) {
                    routines_.training(canvas_, NSHOWN, state::run().figures, state::run().NXW,
                                       state::run().NYW);
                    // The hold check clears MBUTTON before it waits for the release as well.
                    // Every check clears it once all buttons are up: a training left on both
                    // buttons returns with them down, and releasing them one after the other
                    // stores the one still held as a new press, which the next check would
                    // take as a click and start the sight check or another training.
                    if (variant == LeftVariant::hold) store(state::run().MBUTTON, 0);
                    state::wait_until_released(canvas_.platform());
                    store(state::run().MBUTTON, 0);
                    return true;
                }
                break;
        }
    }
    return false;
}

}  // namespace app
