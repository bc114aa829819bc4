#pragma once

#include <cstdint>

#include "gfx/canvas.h"

namespace results {

// The local date and time of day, hundredths dropped; two separate readings of the clock.
void DATETIMEWR(gfx::Canvas& canvas, int32_t& day, int32_t& month, int32_t& year, int32_t& hour,
                int32_t& minute, int32_t& second);

// Running day number with 1 January 1900 as day 0, leap days by the Gregorian rule.
int32_t NDAYS(int32_t day, int32_t month, int32_t year);

}  // namespace results
