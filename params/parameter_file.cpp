#include "params/parameter_file.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "textio/fields.h"

namespace params {

namespace {

constexpr int k_value_width = 7;
constexpr int k_decimals = 3;

// One line of the file: how its value is written, read and where it lives.
struct Line {
    const char* annotation;
    bool integer;
    float state::Parameters::*real_value;
    int32_t state::Parameters::*integer_value;
};

const Line k_lines[] = {
    {"  (distance in centimeters)", false, &state::Parameters::DIST, nullptr},
    {"  (diagonal of display in inches)", false, &state::Parameters::DIAG, nullptr},
    {"  (display resolution, pixels on the Y)", true, nullptr, &state::Parameters::NY},
    {"  (display resolution, pixels on the X)", true, nullptr, &state::Parameters::NX},
    {"  (volume of training)", true, nullptr, &state::Parameters::NVOL},
    {"  (time for the ansver in seconds)", false, &state::Parameters::TANS, nullptr},
};

// Reads the value of one line into the parameters; false when the field is unreadable.
bool read_line(const Line& line, const std::string& text, state::Parameters& parameters) {
    const std::string field = textio::field_at(text, 1, k_value_width);
    if (line.integer) {
        const std::optional<int64_t> value = textio::read_int(field);
        if (!value || *value < INT32_MIN || *value > INT32_MAX) return false;
        parameters.*line.integer_value = static_cast<int32_t>(*value);
    } else {
        const std::optional<double> value = textio::read_real(field, k_decimals);
        // A value beyond the range of a float ("1+99") would become infinity, which the file
        // written back holds as "Inf" and the next start cannot read: it is unreadable here.
        if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return false;
        parameters.*line.real_value = static_cast<float>(*value);
    }
    return true;
}

}  // namespace

state::Parameters default_parameters() {
    return state::Parameters{200.0f, 17.7f, 1024, 768, 100, 50.0f};
}

void read_parameter_file(state::Parameters& parameters, const std::string& name) {
    textio::LineReader reader(name);
    if (!reader.is_open()) return;
    for (const Line& line : k_lines) {
        const std::optional<std::string> text = reader.next_line();
        if (!text || !read_line(line, *text, parameters)) return;
    }
}

std::vector<std::string> parameter_file_lines(const state::Parameters& parameters) {
    std::vector<std::string> lines;
    for (const Line& line : k_lines) {
        // A value too wide for three decimals keeps as many as fit, so it reads back unchanged.
        const std::string value =
            line.integer
                ? textio::format_int(parameters.*line.integer_value, k_value_width)
                : textio::format_fixed_fit(parameters.*line.real_value, k_value_width, k_decimals);
        lines.push_back(value + line.annotation);
    }
    return lines;
}

textio::IoStatus write_parameter_file(const state::Parameters& parameters,
                                      const std::string& name) {
    return textio::write_file_atomically(name, parameter_file_lines(parameters));
}

}  // namespace params
