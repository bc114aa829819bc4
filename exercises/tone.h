#pragma once

#include "gfx/platform.h"

namespace exercises {

// A tone of the exercises' feedback: frequency in hertz, length in milliseconds.
struct Tone {
    int frequency;
    int duration_ms;
};

// Sounds the tone; returns when its length has passed.
inline void play(gfx::Canvas& canvas, Tone tone) {
    canvas.platform().beep(tone.frequency, tone.duration_ms);
}

}  // namespace exercises
