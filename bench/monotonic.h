#pragma once

#include <time.h>

#include <cerrno>
#include <cstdint>

namespace bench {

// Nanoseconds of CLOCK_MONOTONIC.
inline int64_t monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Sleeps until CLOCK_MONOTONIC reads `deadline_ns`; returns at once when it has passed.
inline void sleep_until_ns(int64_t deadline_ns) {
    const timespec deadline{static_cast<time_t>(deadline_ns / 1'000'000'000),
                            static_cast<long>(deadline_ns % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

inline void sleep_ms(int milliseconds) {
    sleep_until_ns(monotonic_ns() + int64_t{milliseconds} * 1'000'000);
}

}  // namespace bench
