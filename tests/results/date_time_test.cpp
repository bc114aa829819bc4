#include "results/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "gfx/headless/headless_platform.h"

namespace {

using results::NDAYS;

GTEST_TEST(Ndays, WorkedExamples) {
    struct Case {
        const char* what;
        int32_t day, month, year;
        int32_t expected;
    };
    const Case cases[] = {
        {"the first day is day 0", 1, 1, 1900, 0},
        {"a common year later", 1, 1, 1901, 365},
        {"four years and two months, 1900 not leap", 1, 3, 1904, 1520},
        {"day 0 is the last day of the month before", 0, 3, 1904, 1519},
        {"month 0 adds no months", 5, 0, 1901, 369},
        {"last day of the first leap year", 31, 12, 1904, 1460 + 365},
        {"a year before 1900 counts backwards", 1, 1, 1899, -365},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NDAYS(c.day, c.month, c.year), c.expected);
    }
}

GTEST_TEST(Ndays, FebruaryFollowsTheGregorianRule) {
    struct Case {
        const char* what;
        int32_t year;
        int32_t days_from_28_february_to_1_march;
    };
    const Case cases[] = {
        {"divisible by 100 only: common", 1900, 1},
        {"divisible by 400: leap", 2000, 2},
        {"common year", 2023, 1},
        {"divisible by 4: leap", 2024, 2},
        {"2100 is not a leap year", 2100, 1},
        {"leap year before 1900", 1896, 2},
        {"2400 is a leap year", 2400, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NDAYS(1, 3, c.year) - NDAYS(28, 2, c.year), c.days_from_28_february_to_1_march);
    }
}

// Every month start from 1601 to 2600 against the calendar of the standard library: the leap
// days of all earlier years are counted exactly, before 1900 and after 2100 too.
GTEST_TEST(Ndays, CountsExactDaysOverFiveCenturies) {
    using namespace std::chrono;
    const sys_days epoch = year{1900} / January / 1;
    for (int32_t y = 1601; y <= 2600; ++y) {
        for (int32_t m = 1; m <= 12; ++m) {
            const sys_days date = year{y} / month{static_cast<unsigned>(m)} / 1;
            ASSERT_EQ(NDAYS(1, m, y), (date - epoch).count()) << "1." << m << "." << y;
        }
    }
}

GTEST_TEST(Ndays, AMonthAboveTwelveCountsOnlyTheWholeYear) {
    EXPECT_EQ(NDAYS(1, 13, 1901), NDAYS(1, 1, 1902));
    EXPECT_EQ(NDAYS(1, 99, 1901), NDAYS(1, 1, 1902));
}

GTEST_TEST(Datetimewr, ReadsTheLocalDateAndTimeWithoutHundredths) {
    gfx::HeadlessPlatform canvas;
    canvas.set_date({2010, 3, 5});
    canvas.set_time({14, 7, 9, 99});
    int32_t day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    results::DATETIMEWR(canvas.canvas(), day, month, year, hour, minute, second);
    EXPECT_EQ(day, 5);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(year, 2010);
    EXPECT_EQ(hour, 14);
    EXPECT_EQ(minute, 7);
    EXPECT_EQ(second, 9);
}

}  // namespace
