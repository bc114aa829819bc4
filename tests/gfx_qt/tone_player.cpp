// Plays the tones named on the command line, as frequency and duration pairs, through
// gfx::play_tone, and prints the milliseconds each call took, one line each. The tone tests run
// it with an ALSA configuration of their own: a process reads that configuration and opens the
// sound device only once.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "gfx/tone.h"

int main(int argc, char** argv) {
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s [frequency duration_ms]...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const int frequency = std::atoi(argv[i]);
        const int duration_ms = std::atoi(argv[i + 1]);
        const auto start = std::chrono::steady_clock::now();
        gfx::play_tone(frequency, duration_ms);
        const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("%lld\n", static_cast<long long>(taken.count()));
    }
    return 0;
}
