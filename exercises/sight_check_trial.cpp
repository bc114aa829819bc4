#include "exercises/sight_check_trial.h"

#include <optional>

#include "exercises/landolt_ring.h"
#include "exercises/random.h"
#include "exercises/tone.h"
#include "gfx/platform.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace exercises {

namespace {

constexpr int k_poll_ms = 200;
constexpr float k_answer_window_s = 2.0f;
constexpr double k_blank_pause_s = 1.0;
constexpr int k_wrong_answer_pause_ms = 3000;

// At the first level of the search the check waits for the user to begin: unanswered rings
// count nothing there until the first answer.
constexpr float k_first_level = 0.1f;

constexpr int k_correct_in_a_row_for_seen = 10;
constexpr int k_wrong_for_not_seen = 3;
constexpr int k_unanswered_for_not_seen = 5;

constexpr Tone k_ring_shown_tone = {1000, 150};
constexpr Tone k_correct_tone = {800, 200};
constexpr Tone k_wrong_tone = {200, 300};
constexpr Tone k_unanswered_tone = {400, 200};

// A random side and tilt: two draws from RAN11 per ring, the side first.
RingPlacement random_placement() {
    const float side_draw = RAN11();
    const float tilt_draw = RAN11();
    return ring_placement(side_draw, tilt_draw);
}

enum class Response { correct, wrong, unanswered, abandoned };

// Polls every 200 ms until the user answers or 2 s have passed since the ring appeared. The
// answer is the button code latched when MEVENT was first seen set.
Response await_answer(gfx::Canvas& canvas, int side, double shown_at) {
    while (true) {
        canvas.platform().sleep_ms(k_poll_ms);
        const auto elapsed = static_cast<float>(canvas.platform().clock_seconds() - shown_at);
        if (state::request_pending() || state::both_buttons()) return Response::abandoned;
        if (state::press_arrived()) {
            const int32_t expected =
                side == k_gap_left ? state::k_left_button : state::k_right_button;
            return state::latched_button() == expected ? Response::correct : Response::wrong;
        }
        if (elapsed >= k_answer_window_s) return Response::unanswered;
    }
}

// The running counts of one level and the verdict they give.
struct Tally {
    int correct_in_a_row = 0;
    int unanswered = 0;  // since the last correct answer
    int wrong = 0;

    bool answered_yet() const { return correct_in_a_row != 0 || wrong != 0; }

    std::optional<LevelVerdict> verdict() const {
        if (wrong >= k_wrong_for_not_seen || unanswered >= k_unanswered_for_not_seen) {
            return LevelVerdict::not_seen;
        }
        if (correct_in_a_row >= k_correct_in_a_row_for_seen) return LevelVerdict::seen;
        return std::nullopt;
    }
};

// A feedback tone, unless both buttons are down by now. False when the check is abandoned.
bool feedback(gfx::Canvas& canvas, Tone tone) {
    if (state::both_buttons()) return false;
    play(canvas, tone);
    return true;
}

// Counts the response and sounds its feedback. False when the check is abandoned.
bool score(gfx::Canvas& canvas, Response response, float A, Tally& tally) {
    switch (response) {
        case Response::correct:
            ++tally.correct_in_a_row;
            tally.unanswered = 0;
            return feedback(canvas, k_correct_tone);
        case Response::wrong:
            ++tally.wrong;
            tally.correct_in_a_row = 0;
            if (!feedback(canvas, k_wrong_tone)) return false;
            canvas.platform().sleep_ms(k_wrong_answer_pause_ms);
            return true;
        case Response::unanswered:
            if (!tally.answered_yet() && A == k_first_level) return true;
            ++tally.unanswered;
            return feedback(canvas, k_unanswered_tone);
        case Response::abandoned:
            return false;
    }
    return false;
}

// A white screen for at least a second between rings. False when the check is abandoned.
bool blank_pause(gfx::Canvas& canvas, int32_t NX, int32_t NY) {
    blank_screen(canvas, NX, NY);
    const double blank_from = canvas.platform().clock_seconds();
    do {
        canvas.platform().sleep_ms(k_poll_ms);
        if (state::both_buttons()) return false;
    } while (canvas.platform().clock_seconds() - blank_from < k_blank_pause_s);
    return true;
}

}  // namespace

LevelVerdict TESTSTR(gfx::Canvas& canvas, float A, float DIST, float DIAG, int32_t W, int32_t H,
                     int32_t NX, int32_t NY) {
    const std::optional<RingSize> size = ring_size(A, DIST, DIAG, NX, NY);
    if (!size) return LevelVerdict::no_ring;

    Tally tally;
    while (true) {
        const RingPlacement placement = random_placement();
        blank_screen(canvas, NX, NY);
        draw_ring(canvas, place_ring(*size, W, H, placement.side, placement.tilt));

        const double shown_at = canvas.platform().clock_seconds();
        if (state::both_buttons()) return LevelVerdict::abandoned;
        // Clicks made during the pauses before this ring are not answers to it.
        state::forget_press();
        play(canvas, k_ring_shown_tone);

        const Response response = await_answer(canvas, placement.side, shown_at);
        if (!score(canvas, response, A, tally)) return LevelVerdict::abandoned;
        if (const std::optional<LevelVerdict> verdict = tally.verdict()) return *verdict;
        if (!blank_pause(canvas, NX, NY)) return LevelVerdict::abandoned;
    }
}

}  // namespace exercises
