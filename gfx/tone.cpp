#include "gfx/tone.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <numbers>
#include <thread>

namespace gfx {

namespace {

constexpr int k_sample_rate = 48000;
constexpr double k_amplitude = 0.5 * 32767.0;
constexpr int k_ramp_ms = 4;
// Samples are made and written in pieces, so a long tone needs no long buffer.
constexpr int64_t k_chunk_frames = 4800;

int64_t frame_count(int duration_ms, int sample_rate) {
    return duration_ms <= 0 ? 0 : static_cast<int64_t>(sample_rate) * duration_ms / 1000;
}

// Sample `index` of a tone of `total` samples: a sine that rises from 0 over the first few
// milliseconds and falls back to 0 over the last few.
int16_t tone_sample(int64_t index, int64_t total, int frequency, int sample_rate) {
    const int64_t ramp = std::min<int64_t>(sample_rate * k_ramp_ms / 1000, total / 2);
    double gain = 1.0;
    if (ramp > 0) {
        gain = std::min({1.0, static_cast<double>(index) / static_cast<double>(ramp),
                         static_cast<double>(total - 1 - index) / static_cast<double>(ramp)});
    }
    // The phase is reduced to one period in exact integers, so it neither drifts nor overflows.
    const int64_t phase_steps = index % sample_rate * frequency % sample_rate;
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(phase_steps) /
                         static_cast<double>(sample_rate);
    return static_cast<int16_t>(std::lround(k_amplitude * gain * std::sin(phase)));
}

void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

// The default playback device, opened on first use. A machine without one stays silent.
class Playback {
  public:
    void play(int frequency, int duration_ms) {
        const std::lock_guard lock(mutex_);
        if (!open()) return;
        const int64_t total = frame_count(duration_ms, k_sample_rate);
        std::vector<int16_t> chunk;
        for (int64_t first = 0; first < total; first += k_chunk_frames) {
            const int64_t count = std::min(k_chunk_frames, total - first);
            chunk.resize(static_cast<std::size_t>(count));
            for (int64_t i = 0; i < count; ++i) {
                chunk[static_cast<std::size_t>(i)] =
                    tone_sample(first + i, total, frequency, k_sample_rate);
            }
            if (!write(chunk)) return;
        }
        snd_pcm_drain(handle_);
        snd_pcm_prepare(handle_);
    }

  private:
    bool open() {
        if (tried_) return handle_ != nullptr;
        tried_ = true;
        // Without a sound card the library prints its complaints to stderr; silence means
        // exactly that here.
        snd_lib_error_set_handler(ignore_alsa_error);
        int result = snd_pcm_open(&handle_, "default", SND_PCM_STREAM_PLAYBACK, 0);
        if (result == 0) {
            result = snd_pcm_set_params(handle_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                                        1, k_sample_rate, 1, 100000);
        }
        snd_lib_error_set_handler(nullptr);
        if (result < 0) close();
        return handle_ != nullptr;
    }

    bool write(const std::vector<int16_t>& samples) {
        const int16_t* data = samples.data();
        auto left = static_cast<snd_pcm_uframes_t>(samples.size());
        while (left > 0) {
            const snd_pcm_sframes_t written = snd_pcm_writei(handle_, data, left);
            if (written < 0) {
                if (snd_pcm_recover(handle_, static_cast<int>(written), 1) < 0) {
                    close();  // the device went away: stay silent from now on
                    return false;
                }
                continue;
            }
            data += written;
            left -= static_cast<snd_pcm_uframes_t>(written);
        }
        return true;
    }

    void close() {
        if (handle_) snd_pcm_close(handle_);
        handle_ = nullptr;
    }

    std::mutex mutex_;
    snd_pcm_t* handle_ = nullptr;
    bool tried_ = false;
};

Playback& playback() {
    // Never destroyed: the process may end while another thread plays a tone.
    static Playback* const instance = new Playback;
    return *instance;
}

}  // namespace

void play_tone(int frequency, int duration_ms) {
    if (duration_ms <= 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(duration_ms);
    if (frequency > 0) playback().play(frequency, duration_ms);
    std::this_thread::sleep_until(end);
}

std::vector<int16_t> tone_samples(int frequency, int duration_ms, int sample_rate) {
    const int64_t total = frame_count(duration_ms, sample_rate);
    std::vector<int16_t> samples(static_cast<std::size_t>(total));
    for (int64_t i = 0; i < total; ++i) {
        samples[static_cast<std::size_t>(i)] =
            frequency > 0 ? tone_sample(i, total, frequency, sample_rate) : 0;
    }
    return samples;
}

}  // namespace gfx
