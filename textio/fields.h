#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Fixed-column text fields. Every file and on-screen text of the program is built from fields
// of a fixed width: Iw and Iw.m integers, Fw.d reals, nX blanks and literals. A value too wide
// for its field is written as a row of w asterisks. Reading takes the w characters at a column,
// ignores blanks and reports an unreadable field as an empty result.
namespace textio {

// ---- writing

// Iw (min_digits 0 or 1) and Iw.m: the integer right-justified in `width` columns with at least
// `min_digits` digits, zero-filled on the left. I2.2 writes 5 as "05".
std::string format_int(int64_t value, int width, int min_digits = 0);

// Fw.d: the value rounded to `decimals` decimals, the point always written, right-justified in
// `width` columns. A 0 stands before the point when the integer part is 0 and the width leaves
// room for it (F3.2 of 0.5 is ".50", F4.2 is "0.50"). Ties of the exact binary value round
// away from zero. Not a number is written as "NaN", infinity as "Inf" or "Infinity".
std::string format_fixed(double value, int width, int decimals);

// Fw.d that gives up decimals, one at a time, rather than the whole value: 1234.5 in F7.3 is
// "1234.50". Asterisks only when the value does not fit even without decimals.
std::string format_fixed_fit(double value, int width, int decimals);

// nX: n blanks.
std::string blanks(int count);

// ---- reading

// The `width` characters starting at 1-based `column` of `line`; a line too short for the field
// is taken as padded with blanks.
std::string field_at(std::string_view line, int column, int width);

// Iw: an integer with an optional leading sign; blanks anywhere are ignored and an all-blank
// field is 0. Anything else (a point, letters, asterisks, an out-of-range value) gives nothing.
std::optional<int64_t> read_int(std::string_view field);

// Fw.d: blanks anywhere are ignored and an all-blank field is 0. A point in the field overrides
// `decimals`; without one the last `decimals` digits are the fraction (F7.3 reads "    200" as
// 0.2). An exponent may follow: E or D with an optional sign, or just a sign ("1.5+2" is 150).
// Anything else (letters, asterisks, a second point, a value beyond double range) gives nothing.
std::optional<double> read_real(std::string_view field, int decimals);

// Iw and Fw.d into the program's 32-bit integers and reals: as read_int and read_real, and also
// nothing for a value beyond the range of the type (a real such as "1+99" would otherwise
// become infinity, which no field can be written back as a number).
std::optional<int32_t> read_int32(std::string_view field);
std::optional<float> read_float(std::string_view field, int decimals);

}  // namespace textio
