#include "textio/calendar.h"

#include <array>
#include <cstddef>

namespace textio {

bool is_leap_year(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t days_in_month(int32_t month, int64_t year) {
    static constexpr std::array<int32_t, 12> lengths = {31, 28, 31, 30, 31, 30,
                                                        31, 31, 30, 31, 30, 31};
    return lengths[static_cast<std::size_t>(month - 1)] +
           (month == 2 && is_leap_year(year) ? 1 : 0);
}

}  // namespace textio
