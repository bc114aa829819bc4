#pragma once

#include <cstdint>

#include "exercises/training_pattern.h"
#include "gfx/canvas.h"
#include "gfx/types.h"

namespace exercises {

// Colours of the two bars above the stimulus area.
constexpr gfx::Colour k_progress_done = 0xFFFF00;   // cyan
constexpr gfx::Colour k_progress_to_do = 0xFF0000;  // blue
constexpr gfx::Colour k_signal_waiting = 0x00FF00;  // green: an answer is awaited
constexpr gfx::Colour k_signal_idle = 0x0000FF;     // red

// Rows of the progress bar and of the signal bar.
constexpr int16_t k_progress_top = 0;
constexpr int16_t k_progress_bottom = 9;
constexpr int16_t k_signal_top = 10;
constexpr int16_t k_signal_bottom = 19;

// Both bars as they stand before the first answer window: all blue, and red.
void draw_idle_bars(gfx::Canvas& canvas, int16_t width);

enum class AnswerOutcome { correct, wrong, not_answered, abandoned };

struct AnswerResult {
    AnswerOutcome outcome = AnswerOutcome::not_answered;
    float seconds = 0;  // answer time of a correct or wrong answer
};

// The answer window of presentation `number` of `count`, for a figure placed as given. The
// clock starts and earlier clicks are forgotten before the bars turn and the opening tone
// plays, so a click during the tone counts, from the moment the tone has played. A later
// answer is timed from the moment of its press as the platform stamped it, or, without a
// usable stamp, from when it is seen. A click
// of the figure's side is correct, any other code is wrong; no click within TANS seconds
// leaves it unanswered. Each ends with its tone (a wrong answer then with a 3 s pause) and the
// signal bar red again; a correct or wrong answer is then told to the run's answer listener,
// if it has one. A menu request or both buttons abandon it at once, leaving the screen as it
// is.
AnswerResult await_answer(gfx::Canvas& canvas, int16_t width, int32_t number, int32_t count,
                          const FigurePlacement& placement);

}  // namespace exercises
