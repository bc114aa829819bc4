#include "bench/tone_listener.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

#include "bench/monotonic.h"

namespace bench {

double ToneBurst::frequency(int sample_rate) const {
    if (samples == 0) return 0;
    return static_cast<double>(sign_changes) / 2.0 * sample_rate / static_cast<double>(samples);
}

double ToneBurst::duration_ms(int sample_rate) const {
    return 1000.0 * static_cast<double>(samples) / sample_rate;
}

ToneListener::ToneListener(const std::string& fifo_path)
    : fd_(open(fifo_path.c_str(), O_RDWR | O_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("cannot open the tone FIFO " + fifo_path);
    thread_ = std::jthread([this](std::stop_token stop) { listen(stop); });
}

ToneListener::~ToneListener() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
    close(fd_);
}

std::vector<ToneBurst> ToneListener::bursts() const {
    const std::lock_guard lock(mutex_);
    return bursts_;
}

void ToneListener::listen(std::stop_token stop) {
    std::array<uint8_t, 65536> buffer{};
    while (!stop.stop_requested()) {
        pollfd watched{fd_, POLLIN, 0};
        // A short timeout, so a stop request is seen soon.
        if (poll(&watched, 1, 50) <= 0) continue;
        const int64_t at_ns = monotonic_ns();
        const ssize_t count = read(fd_, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        take(buffer.data(), static_cast<std::size_t>(count), at_ns);
    }
}

void ToneListener::take(const uint8_t* bytes, std::size_t count, int64_t at_ns) {
    const std::lock_guard lock(mutex_);
    if (bursts_.empty() || at_ns - bursts_.back().last_ns >= k_burst_gap_ns) {
        bursts_.push_back(ToneBurst{at_ns, at_ns, 0, 0});
        odd_byte_.reset();
        previous_sign_ = 0;
    }
    ToneBurst& burst = bursts_.back();
    burst.last_ns = at_ns;
    std::size_t index = 0;
    if (odd_byte_ && count > 0) {
        count_sample(static_cast<int16_t>(*odd_byte_ | bytes[0] << 8), burst);
        odd_byte_.reset();
        index = 1;
    }
    for (; index + 1 < count; index += 2) {
        count_sample(static_cast<int16_t>(bytes[index] | bytes[index + 1] << 8), burst);
    }
    if (index < count) odd_byte_ = bytes[index];
}

void ToneListener::count_sample(int16_t sample, ToneBurst& burst) {
    ++burst.samples;
    // Zero samples lie on a crossing and belong to neither side.
    const int sign = (sample > 0) - (sample < 0);
    if (sign == 0) return;
    if (previous_sign_ != 0 && sign != previous_sign_) ++burst.sign_changes;
    previous_sign_ = sign;
}

}  // namespace bench
