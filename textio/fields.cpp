#include "textio/fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace textio {

namespace {

std::string asterisks(int width) {
    return std::string(static_cast<size_t>(width), '*');
}

std::string right_justified(const std::string& text, int width) {
    if (static_cast<int>(text.size()) > width) return asterisks(width);
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The exact decimal expansion of a finite, non-negative double, without exponent. A double is
// an integer times 2^(exponent - 53), so 53 - exponent fractional digits hold it exactly; the
// rounding below then works on the true binary value, not on an already rounded text.
std::string exact_decimal(double magnitude) {
    int exponent = 0;
    std::frexp(magnitude, &exponent);
    const int precision = std::max(0, 53 - exponent);
    std::string text(static_cast<size_t>(precision) + 400, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                      std::chars_format::fixed, precision);
    text.resize(static_cast<size_t>(result.ptr - text.data()));
    return text;
}

// Adds one unit in the last place of a string of decimal digits.
void increment_digits(std::string& digits) {
    for (auto position = digits.rbegin(); position != digits.rend(); ++position) {
        if (*position != '9') {
            ++*position;
            return;
        }
        *position = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string format_non_finite(double value, int width) {
    if (std::isnan(value)) return right_justified("NaN", width);
    if (value < 0) return right_justified(width >= 9 ? "-Infinity" : "-Inf", width);
    return right_justified(width >= 8 ? "Infinity" : "Inf", width);
}

// The field without its blanks, which the reading rules ignore wherever they stand.
std::string without_blanks(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (const char c : field) {
        if (c != ' ') text += c;
    }
    return text;
}

}  // namespace

std::string format_int(int64_t value, int width, int min_digits) {
    if (width <= 0) return {};
    const uint64_t magnitude =
        value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (min_digits > width) return asterisks(width);
    if (static_cast<int>(digits.size()) < min_digits) {
        digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
    }
    return right_justified(value < 0 ? "-" + digits : digits, width);
}

std::string format_fixed(double value, int width, int decimals) {
    if (width <= 0) return {};
    if (!std::isfinite(value)) return format_non_finite(value, width);
    decimals = std::max(decimals, 0);
    if (decimals >= width) return asterisks(width);  // the point and the decimals alone

    const std::string exact = exact_decimal(std::fabs(value));
    const size_t point = exact.find('.');
    const std::string integer_part = exact.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string{} : exact.substr(point + 1);
    if (fraction.size() < static_cast<size_t>(decimals) + 1) {
        fraction.resize(static_cast<size_t>(decimals) + 1, '0');
    }

    // Round half away from zero on the exact value: digit d+1 decides, as the digits after it
    // can only add to it.
    std::string digits = integer_part + fraction.substr(0, static_cast<size_t>(decimals));
    if (fraction[static_cast<size_t>(decimals)] >= '5') increment_digits(digits);

    std::string integer_digits = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    const std::string fraction_digits = digits.substr(integer_digits.size());
    integer_digits.erase(0, integer_digits.find_first_not_of('0'));

    // A negative value keeps its minus sign even when it rounds to zero (-0.04 in F7.1 is
    // "   -0.0"); only a zero, an IEEE negative zero included, is written without one.
    const std::string sign = value < 0 ? "-" : "";
    // The 0 before the point is optional only while decimals follow it: "." alone is no number.
    const size_t shortest = sign.size() + integer_digits.size() + 1 + fraction_digits.size();
    const bool zero_before_point =
        integer_digits.empty() && (static_cast<int>(shortest) < width || decimals == 0);
    return right_justified(
        sign + (zero_before_point ? "0" : integer_digits) + "." + fraction_digits, width);
}

std::string format_fixed_fit(double value, int width, int decimals) {
    // More decimals than width - 1 never fit, whatever the value.
    for (int fewer = std::min(decimals, width - 1); fewer > 0; --fewer) {
        std::string text = format_fixed(value, width, fewer);
        if (text.find_first_not_of('*') != std::string::npos) return text;
    }
    return format_fixed(value, width, 0);
}

std::string blanks(int count) {
    return std::string(static_cast<size_t>(std::max(count, 0)), ' ');
}

std::string field_at(std::string_view line, int column, int width) {
    std::string field(static_cast<size_t>(std::max(width, 0)), ' ');
    for (int offset = 0; offset < width; ++offset) {
        const int64_t index = int64_t{column} - 1 + offset;
        if (index >= 0 && index < static_cast<int64_t>(line.size())) {
            field[static_cast<size_t>(offset)] = line[static_cast<size_t>(index)];
        }
    }
    return field;
}

std::optional<int64_t> read_int(std::string_view field) {
    // Walks the field's characters other than blanks, without copying them: the log's reader
    // takes several integers from every line.
    size_t position = 0;
    const auto at_character = [&] {
        while (position < field.size() && field[position] == ' ') ++position;
        return position < field.size();
    };
    if (!at_character()) return 0;

    const bool negative = field[position] == '-';
    if (field[position] == '-' || field[position] == '+') {
        ++position;
        if (!at_character()) return std::nullopt;
    }

    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    uint64_t magnitude = 0;
    for (; at_character(); ++position) {
        if (!is_digit(field[position])) return std::nullopt;
        const auto digit = static_cast<uint64_t>(field[position] - '0');
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative) return static_cast<int64_t>(magnitude);
    return magnitude == uint64_t{1} << 63 ? std::numeric_limits<int64_t>::min()
                                          : -static_cast<int64_t>(magnitude);
}

std::optional<double> read_real(std::string_view field, int decimals) {
    const std::string text = without_blanks(field);
    if (text.empty()) return 0.0;

    size_t position = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') ++position;

    std::string digits;
    bool has_point = false;
    int64_t fraction_digits = 0;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (is_digit(c)) {
            digits += c;
            if (has_point) ++fraction_digits;
        } else if (c == '.') {
            if (has_point) return std::nullopt;
            has_point = true;
        } else {
            break;
        }
    }
    if (digits.empty()) return std::nullopt;
    if (!has_point) fraction_digits = std::max(decimals, 0);

    // The exponent: a letter E or D with an optional sign, or a sign alone.
    int64_t exponent = 0;
    if (position < text.size()) {
        const char letter = text[position];
        if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
            ++position;
        } else if (letter != '+' && letter != '-') {
            return std::nullopt;
        }
        bool negative_exponent = false;
        if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
            negative_exponent = text[position] == '-';
            ++position;
        }
        if (position == text.size()) return std::nullopt;
        for (; position < text.size(); ++position) {
            if (!is_digit(text[position])) return std::nullopt;
            // Saturates far beyond any double exponent, so a long digit run cannot overflow.
            exponent = std::min<int64_t>(exponent * 10 + (text[position] - '0'), 1'000'000);
        }
        if (negative_exponent) exponent = -exponent;
    }

    digits.erase(0, digits.find_first_not_of('0'));
    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty()) return zero;

    // value = digits x 10^scale; the leading digit stands at 10^(size - 1 + scale). Let the
    // library do the correctly rounded conversion of that decimal number.
    const int64_t scale = exponent - fraction_digits;
    const int64_t leading_power = static_cast<int64_t>(digits.size()) - 1 + scale;
    if (leading_power > 309) return std::nullopt;
    if (leading_power < -400) return zero;

    const std::string scientific = (negative ? "-" : "") + digits + "e" + std::to_string(scale);
    double value = 0;
    const auto result = std::from_chars(scientific.data(), scientific.data() + scientific.size(),
                                        value, std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        if (leading_power < 0) return zero;
        return std::nullopt;
    }
    if (result.ec != std::errc{} || result.ptr != scientific.data() + scientific.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int32_t> read_int32(std::string_view field) {
    const std::optional<int64_t> value = read_int(field);
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

std::optional<float> read_float(std::string_view field, int decimals) {
    const std::optional<double> value = read_real(field, decimals);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*value);
}

}  // namespace textio
