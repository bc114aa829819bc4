#include "gfx/qt/event_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

struct Event {
    uint64_t stamp_ms;
    double arrival_ms;
    std::optional<double> moment_ms;  // what the clock makes of it
};

GTEST_TEST(EventClockTest, StampsCountOnceTheyAgreeWithTheClockAndNeverAfterADisagreement) {
    constexpr uint64_t k_wrap = uint64_t{1} << 32;
    struct Case {
        const char* what;
        std::vector<Event> events;
    };
    const Case cases[] = {
        {"a stamp 2 ms old: the middle of its millisecond", {{1000, 1002.3, 1000.5}}},
        {"a stamp of the arrival's millisecond: the middle of its part before the arrival",
         {{1000, 1000.2, 1000.1}, {1001, 1001.9, 1001.45}}},
        {"no stamp", {{0, 1000.0, std::nullopt}}},
        {"a first stamp too old to show agreement is not used",
         {{1000, 1010.0, std::nullopt}, {1020, 1021.0, 1020.5}}},
        {"once agreed, a late delivery keeps its stamp",
         {{1000, 1001.0, 1000.5}, {1500, 1600.0, 1500.5}}},
        {"a stamp in the future is another clock, for good",
         {{2000, 1000.0, std::nullopt}, {1001, 1001.5, std::nullopt}}},
        {"a stamp in the future after agreement ends it too",
         {{1000, 1001.0, 1000.5}, {1100, 1010.0, std::nullopt}, {1011, 1011.5, std::nullopt}}},
        {"a few milliseconds ahead is still one clock",
         {{1003, 1000.0, 1000.0}, {1004, 1004.5, 1004.25}}},
        {"stamps cut to 32 bits, across their wrap",
         {{k_wrap - 1, double(k_wrap) + 3.2, double(k_wrap) - 0.5},
          {2, double(k_wrap) + 2.9, double(k_wrap) + 2.45}}},
        {"a clock counting from another start, such as the program's",
         {{12, 5'000'000.0, std::nullopt}, {13, 5'000'001.0, std::nullopt}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gfx::EventClock clock;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            SCOPED_TRACE(i);
            const Event& event = c.events[i];
            const std::optional<double> moment = clock.moment(event.stamp_ms, event.arrival_ms);
            ASSERT_EQ(moment.has_value(), event.moment_ms.has_value());
            if (moment) {
                EXPECT_DOUBLE_EQ(*moment, *event.moment_ms);
            }
        }
    }
}

}  // namespace
