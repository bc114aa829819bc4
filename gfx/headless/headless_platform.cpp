#include "gfx/headless/headless_platform.h"

#include <algorithm>

namespace gfx {

namespace {

// Seconds since 1970 that the virtual clock reads at the start of a run.
constexpr double k_virtual_epoch = 1.8e9;
// A dialog script that never closes the dialog would otherwise hang the test.
constexpr int k_dialog_attempts = 20;

}  // namespace

HeadlessPlatform::HeadlessPlatform() = default;

RunOutcome HeadlessPlatform::run(const std::function<bool(Canvas&)>& startup_hook,
                                 const std::function<void(Canvas&)>& program) {
    try {
        if (startup_hook) startup_hook(canvas());
        program(canvas());
        return RunOutcome{RunOutcome::Kind::stopped, 0, "", now()};
    } catch (const ProgramEnded& ended) {
        const auto kind =
            ended.message.empty() ? RunOutcome::Kind::stopped : RunOutcome::Kind::fatal_error;
        return RunOutcome{kind, ended.status, ended.message, now()};
    } catch (const VirtualTimeLimit& limit) {
        return RunOutcome{RunOutcome::Kind::time_limit, 0, "", limit.at_seconds};
    }
}

void HeadlessPlatform::press(int button, int modifiers) {
    press_stamped(button, clock_seconds(), modifiers);
}

void HeadlessPlatform::press_stamped(int button, std::optional<double> stamp_seconds,
                                     int modifiers) {
    held_ |= button;
    const int event = button == k_key_left ? k_left_down : k_right_down;
    canvas().deliver_mouse(1, event, held_ | modifiers, 100, 100, stamp_seconds);
}

void HeadlessPlatform::release(int button, int modifiers) {
    held_ &= ~button;
    const int event = button == k_key_left ? k_left_up : k_right_up;
    canvas().deliver_mouse(1, event, held_ | modifiers, 100, 100, clock_seconds());
}

void HeadlessPlatform::click(int button, int modifiers) {
    press(button, modifiers);
    release(button, modifiers);
}

Colour HeadlessPlatform::pixel(int x, int y) const {
    const auto unit_surface = canvas().surface(1);
    return unit_surface ? unit_surface->pixel(x, y) : k_black;
}

bool HeadlessPlatform::unit_closed(int unit) const {
    return std::find(closed_units_.begin(), closed_units_.end(), unit) != closed_units_.end();
}

void HeadlessPlatform::set_frame_geometry(int x, int y, int height, int width) {
    frame_geometries_.push_back(FrameGeometry{x, y, height, width});
}

double HeadlessPlatform::clock_seconds() {
    return k_virtual_epoch + now();
}

void HeadlessPlatform::sleep_ms(int milliseconds) {
    advance(milliseconds, false);
}

void HeadlessPlatform::wait_for_input(int timeout_ms) {
    // As on the real platform, an event delivered since the last wait ends the wait at once, and
    // one delivered during it wakes it at that millisecond.
    if (!input_pending_) advance(std::max(timeout_ms, 1), true);
    input_pending_ = false;
}

void HeadlessPlatform::beep(int frequency, int duration_ms) {
    tones_.push_back(ToneRecord{frequency, duration_ms, now()});
    advance(duration_ms, false);
}

void HeadlessPlatform::advance(int milliseconds, bool until_input) {
    for (int step = 0; step < milliseconds && !(until_input && input_pending_); ++step) {
        ++now_ms_;
        if (now() > time_limit_) throw VirtualTimeLimit{now()};
        // A user acting inside a callback it caused must not re-enter itself.
        if (user_ && !in_user_) {
            in_user_ = true;
            try {
                user_(*this);
            } catch (...) {
                in_user_ = false;
                throw;
            }
            in_user_ = false;
        }
    }
}

void HeadlessPlatform::run_dialog(Dialog& dialog) {
    for (int attempt = 0; attempt < k_dialog_attempts && !dialog.exited(); ++attempt) {
        if (dialog_script_) {
            dialog_script_(dialog, attempt);
        } else {
            dialog.activate(k_dialog_ok);
        }
        if (auto refusal = dialog.take_refusal()) refusals_.push_back(std::move(*refusal));
    }
    if (!dialog.exited()) throw ProgramEnded{2, "the scripted dialog was never closed"};
}

void HeadlessPlatform::stop_program() {
    throw ProgramEnded{0, ""};
}

void HeadlessPlatform::report_fatal(const std::string& message) {
    throw ProgramEnded{1, message};
}

}  // namespace gfx
