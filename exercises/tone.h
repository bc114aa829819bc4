#pragma once

#include "gfx/window_service.h"

namespace exercises {

// A tone of the exercises' feedback: frequency in hertz, length in milliseconds.
struct Tone {
    int frequency;
    int duration_ms;
};

// Sounds the tone; returns when its length has passed.
inline void play(gfx::WindowService& ws, Tone tone) {
    ws.beep(tone.frequency, tone.duration_ms);
}

}  // namespace exercises
