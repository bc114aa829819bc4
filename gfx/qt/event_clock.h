#pragma once

#include <cstdint>
#include <optional>

namespace gfx {

// How far an input event's time stamp may lie from the monotonic clock at the event's arrival
// for the two to count as one clock.
constexpr double k_stamp_agreement_ms = 5.0;

// Turns the time stamps of input events into readings of the monotonic clock.
//
// The window system stamps every input event with the moment it took the event in, in
// milliseconds of its own clock cut to 32 bits; the X server and the usual compositors use the
// monotonic clock, as the program does. That is checked, not assumed: the stamps are used once
// an event arrives within k_stamp_agreement_ms of its stamp, and never again once a stamp lies
// further than that in the future, as a stamp from another clock would. Until an event shows
// agreement, and for good after a disagreement, events have no usable moment.
class EventClock {
  public:
    // The moment of an event stamped `stamp_ms` (0: not stamped) that arrived when the
    // monotonic clock read `arrival_ms`, in milliseconds of that clock: the middle of the
    // stamped millisecond, or of its part before the arrival when the event arrived within it;
    // never after the arrival.
    std::optional<double> moment(uint64_t stamp_ms, double arrival_ms);

  private:
    bool agreed_ = false;
    bool disagreed_ = false;
};

}  // namespace gfx
