#include "results/date_time.h"

#include <algorithm>
#include <cstdint>

#include "gfx/platform.h"
#include "textio/calendar.h"

namespace results {

void DATETIMEWR(gfx::Canvas& canvas, int32_t& day, int32_t& month, int32_t& year, int32_t& hour,
                int32_t& minute, int32_t& second) {
    const gfx::LocalDate date = canvas.platform().local_date();
    year = date.year;
    month = date.month;
    day = date.day;

    const gfx::LocalTime time = canvas.platform().local_time();
    hour = time.hour;
    minute = time.minute;
    second = time.second;
}

namespace {

// Division rounding toward minus infinity, so years before year 1 still count their leap days.
int64_t floor_div(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    return (numerator % denominator != 0 && numerator < 0) ? quotient - 1 : quotient;
}

// Leap years from year 1 up to and including `year` by the Gregorian rule (negative for years
// before 1, so differences come out right whatever the sign).
int64_t leap_years_through(int64_t year) {
    return floor_div(year, 4) - floor_div(year, 100) + floor_div(year, 400);
}

}  // namespace

int32_t NDAYS(int32_t day, int32_t month, int32_t year) {
    // Whole years since 1900, each with its leap day counted exactly, on either side of 1900.
    int64_t days = 365 * (int64_t{year} - 1900) +
                   (leap_years_through(int64_t{year} - 1) - leap_years_through(1899));

    // Months before `month`; a month above 12 counts the whole year and no more.
    const int64_t whole_months = std::clamp<int64_t>(int64_t{month} - 1, 0, 12);
    for (int64_t index = 0; index < whole_months; ++index) {
        days += textio::days_in_month(static_cast<int32_t>(index) + 1, year);
    }

    days += int64_t{day} - 1;
    return static_cast<int32_t>(days);
}

}  // namespace results
