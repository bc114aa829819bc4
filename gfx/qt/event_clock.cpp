#include "gfx/qt/event_clock.h"

#include <algorithm>
#include <cmath>

namespace gfx {

std::optional<double> EventClock::moment(uint64_t stamp_ms, double arrival_ms) {
    if (stamp_ms == 0 || disagreed_) return std::nullopt;
    // The stamp is taken modulo 2^32 (it wraps every 49.7 days), so it is compared with the
    // arrival as a signed difference of the two cut to 32 bits.
    const double arrival_whole_ms = std::floor(arrival_ms);
    const auto arrival_low_bits =
        static_cast<uint32_t>(static_cast<uint64_t>(arrival_whole_ms) & 0xFFFFFFFFu);
    const auto whole_ms_old =
        static_cast<int32_t>(arrival_low_bits - static_cast<uint32_t>(stamp_ms & 0xFFFFFFFFu));
    // A stamp counts whole milliseconds: the event happened within the millisecond it names,
    // and before it arrived.
    const double stamped_from = arrival_whole_ms - whole_ms_old;
    const double age_ms = arrival_ms - (stamped_from + 0.5);
    if (age_ms < -k_stamp_agreement_ms) {
        disagreed_ = true;
        return std::nullopt;
    }
    if (age_ms <= k_stamp_agreement_ms) agreed_ = true;
    if (!agreed_) return std::nullopt;
    // The middle of what is left of the stamped millisecond once the arrival bounds it; a stamp
    // slightly ahead of the clock gives the arrival itself.
    const double stamped_until = std::min(stamped_from + 1.0, arrival_ms);
    if (stamped_until <= stamped_from) return arrival_ms;
    return (stamped_from + stamped_until) / 2.0;
}

}  // namespace gfx
