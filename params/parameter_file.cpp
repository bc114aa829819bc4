#include "params/parameter_file.h"

#include <optional>

#include "params/parameter_table.h"
#include "textio/layout.h"

namespace params {

state::Parameters default_parameters() {
    return state::Parameters{200.0f, 17.7f, 1024, 768, 100, 50.0f};
}

void read_parameter_file(state::Parameters& parameters, const std::string& name) {
    textio::LineReader reader(name);
    if (!reader.is_open()) return;
    for (const Parameter& parameter : k_parameters) {
        const std::optional<std::string> line = reader.next_line();
        if (!line) return;
        const textio::Field& field = parameter.stored;
        if (!read_value(parameter, textio::text_at(*line, field), field.descriptor.digits,
                        parameters)) {
            return;
        }
    }
}

std::vector<std::string> parameter_file_lines(const state::Parameters& parameters) {
    std::vector<std::string> lines;
    for (const Parameter& parameter : k_parameters) {
        // A value too wide for three decimals keeps as many as fit, so it reads back unchanged.
        lines.push_back(written_value(parameter, parameters, parameter.stored.descriptor,
                                      Decimals::as_many_as_fit) +
                        parameter.note);
    }
    return lines;
}

textio::IoStatus write_parameter_file(const state::Parameters& parameters,
                                      const std::string& name) {
    return textio::write_file_atomically(name, parameter_file_lines(parameters));
}

}  // namespace params
