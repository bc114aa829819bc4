#pragma once

#include <cstdint>
#include <vector>

namespace gfx {

// Sounds a sine tone of the frequency for the duration on the default audio device and
// returns when the duration has passed since the call, also when there is no audio device
// (the tone is then silent). Frequency 0 (or below) is silence; a duration of 0 or below
// returns at once. The device is opened on the first audible tone and kept open.
void play_tone(int frequency, int duration_ms);

// The mono 16-bit samples of such a tone at the sample rate: rate * duration_ms / 1000 of
// them, with a short rise and fall so the tone starts and stops without a click.
std::vector<int16_t> tone_samples(int frequency, int duration_ms, int sample_rate);

}  // namespace gfx
