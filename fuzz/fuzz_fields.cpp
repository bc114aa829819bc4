// The fixed-column field readers on arbitrary lines. The first three bytes choose the field's
// column, width and implied decimals; the rest is the line.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "textio/fields.h"

namespace {

// Reads a real and checks what holds for every result: the value is finite (a value beyond
// the range of a double reads as nothing), and a decimal point in the text makes the implied
// decimals irrelevant.
std::optional<double> checked_read_real(std::string_view text, int decimals) {
    const std::optional<double> value = textio::read_real(text, decimals);
    if (!value) return value;
    fuzz::require(std::isfinite(*value), "read_real gave a value that is not finite");
    if (text.find('.') != std::string_view::npos) {
        const std::optional<double> other = textio::read_real(text, decimals == 0 ? 3 : 0);
        fuzz::require(other && *other == *value, "a written point did not override decimals");
    }
    return value;
}

void check_field(std::string_view line, int column, int width, int decimals) {
    const std::string field = textio::field_at(line, column, width);
    fuzz::require(field.size() == static_cast<size_t>(std::max(width, 0)), "field of wrong width");
    for (int offset = 0; offset < width; ++offset) {
        const int64_t index = int64_t{column} - 1 + offset;
        const bool inside = index >= 0 && index < static_cast<int64_t>(line.size());
        const char expected = inside ? line[static_cast<size_t>(index)] : ' ';
        fuzz::require(field[static_cast<size_t>(offset)] == expected, "field_at took wrong bytes");
    }

    const std::optional<int64_t> integer = textio::read_int(field);
    const std::optional<double> real = checked_read_real(field, decimals);
    if (integer) {
        // Whatever reads as an integer reads as the same number when taken as a real.
        const std::optional<double> as_real = checked_read_real(field, 0);
        fuzz::require(as_real && *as_real == static_cast<double>(*integer),
                      "read_real and read_int disagree on an integer field");
        const std::optional<int64_t> again = textio::read_int(textio::format_int(*integer, 21));
        fuzz::require(again == integer, "an integer did not survive I21 and back");
    }
    if (real) {
        // Written with a few decimals and read back, the value moves by at most half a unit of
        // the last decimal written (plus the rounding of the read).
        const int written_decimals = std::clamp(decimals, 0, 9);
        const std::string text = textio::format_fixed(*real, 40, written_decimals);
        if (text.find('*') == std::string::npos) {
            const std::optional<double> back = textio::read_real(text, written_decimals);
            fuzz::require(back.has_value(), "a written real did not read back");
            const double tolerance =
                0.5 * std::pow(10.0, -written_decimals) * (1 + 1e-9) + std::fabs(*real) * 1e-15;
            fuzz::require(std::fabs(*back - *real) <= tolerance,
                          "a real moved more than the rounding when written and read back");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int column = static_cast<int8_t>(data[0]);
    const int width = data[1] % 48 - 4;
    const int decimals = static_cast<int8_t>(data[2]) % 24;
    const std::string_view line = fuzz::as_text(data + 3, size - 3);

    check_field(line, column, width, decimals);
    // The whole line as one field: long digit runs, many signs and exponents.
    checked_read_real(line, decimals);
    textio::read_int(line);
    return 0;
}
