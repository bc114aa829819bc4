#pragma once

#include <cstdint>

// The Gregorian calendar's rules, for the dates the program writes and reads.
namespace textio {

// Every fourth year, except whole centuries not divisible by 400.
bool is_leap_year(int64_t year);

// Days of month 1 .. 12 of the year.
int32_t days_in_month(int32_t month, int64_t year);

}  // namespace textio
