#include "gfx/tone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Upward zero crossings of the samples: one per period of the tone.
int rising_crossings(const std::vector<int16_t>& samples) {
    int count = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) ++count;
    }
    return count;
}

GTEST_TEST(ToneSamples, HaveTheLengthAndFrequencyAsked) {
    struct Case {
        const char* what;
        int frequency;
        int duration_ms;
        int sample_rate;
    };
    constexpr Case cases[] = {
        {"answer tone at 48 kHz", 1000, 100, 48000},
        {"low tone at 44.1 kHz", 440, 350, 44100},
        {"frequency that does not divide the rate", 333, 300, 48000},
        {"short tone", 800, 10, 48000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto samples = gfx::tone_samples(c.frequency, c.duration_ms, c.sample_rate);
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(c.sample_rate * c.duration_ms / 1000));
        const int periods = c.frequency * c.duration_ms / 1000;
        EXPECT_NEAR(rising_crossings(samples), periods, 1);
        // Loud in the middle, silent at both ends, so it neither clicks nor clips.
        const auto loudest = std::max_element(
            samples.begin(), samples.end(), [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(*loudest), 8000);
        EXPECT_LT(std::abs(*loudest), 32767);
        EXPECT_EQ(samples.front(), 0);
        EXPECT_LT(std::abs(samples.back()), 200);
    }
}

GTEST_TEST(ToneSamples, FrequencyZeroIsSilence) {
    const auto samples = gfx::tone_samples(0, 50, 48000);
    ASSERT_EQ(samples.size(), 2400u);
    EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; }));
}

GTEST_TEST(ToneSamples, NoSamplesForNoDuration) {
    EXPECT_TRUE(gfx::tone_samples(440, 0, 48000).empty());
    EXPECT_TRUE(gfx::tone_samples(440, -20, 48000).empty());
}

// With or without a sound card, a tone takes at least its duration. The upper bound only
// catches a tone that waits twice or hangs; how close it comes is measured by the benchmarks,
// not asserted here, since a loaded machine stretches it.
GTEST_TEST(PlayTone, TakesItsDuration) {
    struct Case {
        const char* what;
        int frequency;
        int duration_ms;
    };
    constexpr Case cases[] = {
        {"audible tone", 440, 100},      {"silence", 0, 100},
        {"very short tone", 1000, 5},    {"no duration", 440, 0},
        {"negative duration", 440, -50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        gfx::play_tone(c.frequency, c.duration_ms);
        const auto taken =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(taken, std::max(c.duration_ms, 0));
        EXPECT_LT(taken, 2 * std::max(c.duration_ms, 0) + 1000);
    }
}

}  // namespace
