#include "params/parameter_table.h"

#include <optional>

#include "textio/fields.h"

namespace params {

std::string written_value(const Parameter& parameter, const state::Parameters& values,
                          const Descriptor& descriptor, Decimals decimals) {
    if (parameter.is_integer()) {
        return textio::format_int(values.*parameter.integer, descriptor.width, descriptor.digits);
    }
    const float value = values.*parameter.real;
    if (decimals == Decimals::as_many_as_fit) {
        return textio::format_fixed_fit(value, descriptor.width, descriptor.digits);
    }
    return textio::format_fixed(value, descriptor.width, descriptor.digits);
}

bool read_value(const Parameter& parameter, std::string_view text, int decimals,
                state::Parameters& values) {
    if (parameter.is_integer()) {
        const std::optional<int32_t> value = textio::read_int32(text);
        if (!value) return false;
        values.*parameter.integer = *value;
    } else {
        const std::optional<float> value = textio::read_float(text, decimals);
        if (!value) return false;
        values.*parameter.real = *value;
    }
    return true;
}

}  // namespace params
