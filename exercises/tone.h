#pragma once

#include "gfx/platform.h"

namespace exercises {

// A tone of the exercises' feedback: frequency in hertz, length in milliseconds.
struct Tone {
    int frequency;
    int duration_ms;
};

// Sounds the tone; returns when its length has passed.
inline void play(gfx::Canvas& ws, Tone tone) {
    ws.platform().beep(tone.frequency, tone.duration_ms);
}

}  // namespace exercises
