#include "exercises/training_answer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "exercises/tone.h"
#include "gfx/platform.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace exercises {

namespace {

constexpr Tone k_window_opens{1000, 200};
constexpr Tone k_correct{800, 200};
constexpr Tone k_wrong{200, 300};
constexpr Tone k_no_answer{400, 300};
constexpr int k_wrong_pause_ms = 3000;

void fill(gfx::Canvas& canvas, gfx::Colour colour, int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    canvas.set_colour(colour);
    canvas.rectangle(gfx::Shape::filled, x1, y1, x2, y2);
}

AnswerOutcome judge(int32_t button, const FigurePlacement& placement) {
    const int32_t figure_side = placement.right ? state::k_right_button : state::k_left_button;
    return button == figure_side ? AnswerOutcome::correct : AnswerOutcome::wrong;
}

// When the answer seen by the poll at `poll` was given. The poll begins at `poll_start`, once
// the opening tone has played: a press made during the tone counts from then, as a poll that
// began only after the tone would have seen it. A later press counts from its own moment as
// the platform stamped it. Without a stamp, with one after the poll or one from before the
// window opened at `t0`, the press counts when the poll saw it.
double answer_moment(std::optional<double> press, double t0, double poll_start, double poll) {
    if (press && *press >= t0 && *press <= poll) return std::max(*press, poll_start);
    return poll;
}

}  // namespace

void draw_idle_bars(gfx::Canvas& canvas, int16_t width) {
    const int16_t right = static_cast<int16_t>(width - 1);
    fill(canvas, k_progress_to_do, 0, k_progress_top, right, k_progress_bottom);
    fill(canvas, k_signal_idle, 0, k_signal_top, right, k_signal_bottom);
}

AnswerResult await_answer(gfx::Canvas& canvas, int16_t width, int32_t number, int32_t count,
                          const FigurePlacement& placement) {
    // The figure drawn just before is on the screen when the answer clock starts.
    canvas.platform().wait_until_shown();
    const double t0 = canvas.platform().clock_seconds();
    state::forget_press();

    const int16_t right = static_cast<int16_t>(width - 1);
    fill(canvas, k_signal_waiting, 0, k_signal_top, right, k_signal_bottom);
    const auto progress = static_cast<int16_t>((int64_t{width} - 1) * number / count);
    fill(canvas, k_progress_to_do, progress, k_progress_top, right, k_progress_bottom);
    fill(canvas, k_progress_done, 0, k_progress_top, progress, k_progress_bottom);
    play(canvas, k_window_opens);
    const double poll_start = canvas.platform().clock_seconds();

    const float allowed = state::run().parameters.TANS;
    AnswerResult result;
    for (;;) {
        const double poll = canvas.platform().clock_seconds();
        const auto elapsed = static_cast<float>(poll - t0);
        if (state::request_pending()) return {AnswerOutcome::abandoned};
        if (state::both_buttons()) return {AnswerOutcome::abandoned};
        if (state::press_arrived()) {
            // The answer is timed from the click itself, not from when this thread noticed it.
            const AnswerOutcome outcome = judge(state::latched_button(), placement);
            const double answered =
                answer_moment(state::latest_press_seconds(), t0, poll_start, poll);
            result = {outcome, static_cast<float>(answered - t0)};
            break;
        }
        if (elapsed >= allowed) break;
        // Sleeps until an event or the answer time's end; an event wakes it at once, so the
        // answer is timed to the millisecond without the loop spinning.
        const double remaining_ms = std::ceil((allowed - elapsed) * 1000.0);
        canvas.platform().wait_for_input(static_cast<int>(std::clamp(remaining_ms, 1.0, 100.0)));
    }

    if (result.outcome == AnswerOutcome::correct) {
        play(canvas, k_correct);
    } else if (result.outcome == AnswerOutcome::wrong) {
        play(canvas, k_wrong);
        canvas.platform().sleep_ms(k_wrong_pause_ms);
    } else {
        play(canvas, k_no_answer);
    }
    fill(canvas, k_signal_idle, 0, k_signal_top, right, k_signal_bottom);
    const bool answered =
        result.outcome == AnswerOutcome::correct || result.outcome == AnswerOutcome::wrong;
    const state::AnswerListener& listener = state::run().answer_listener;
    if (answered && listener) {
        listener({result.outcome == AnswerOutcome::correct, result.seconds});
    }
    return result;
}

}  // namespace exercises
