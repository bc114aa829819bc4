#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// One tone as it came out of the audio output: samples that arrived with no pause of
// k_burst_gap_ns or more between them.
struct ToneBurst {
    int64_t first_ns = 0;  // monotonic clock when its first samples could be read
    int64_t last_ns = 0;   // ... and its last ones
    int64_t samples = 0;
    int64_t sign_changes = 0;

    // The frequency from the zero crossings: two per period.
    double frequency(int sample_rate) const;
    double duration_ms(int sample_rate) const;
};

// Reads the raw mono 16-bit little-endian samples that an audio output writes into a FIFO,
// on its own thread, and groups them into tones as they arrive.
class ToneListener {
  public:
    static constexpr int64_t k_burst_gap_ns = 40'000'000;

    // Opens the FIFO for reading and writing, so the open never waits for a writer and a
    // writer that closes leaves no end-of-file behind. Throws std::runtime_error.
    explicit ToneListener(const std::string& fifo_path);
    ~ToneListener();
    ToneListener(const ToneListener&) = delete;
    ToneListener& operator=(const ToneListener&) = delete;

    // The tones heard so far; the last may still be sounding.
    std::vector<ToneBurst> bursts() const;

  private:
    void listen(std::stop_token stop);
    void take(const uint8_t* bytes, std::size_t count, int64_t at_ns);
    void count_sample(int16_t sample, ToneBurst& burst);

    int fd_;
    mutable std::mutex mutex_;
    std::vector<ToneBurst> bursts_;
    std::optional<uint8_t> odd_byte_;  // first half of a sample split between two reads
    int previous_sign_ = 0;
    std::jthread thread_;  // last, so it starts after everything it uses exists
};

}  // namespace bench
