#pragma once

#include <string>

#include "state/shared_state.h"
#include "textio/line_file.h"

namespace params {

inline const std::string k_parameter_file = "pelidor.vvd";
// Unit number under which the parameter file is reported in I/O errors.
constexpr int k_parameter_unit = 12;

// The six parameters before the file or the user changed them.
state::Parameters default_parameters();

// Replaces parameters with the values of the file's leading readable lines: reading stops at
// the first missing or unreadable line, and that parameter and the ones after it stay as they
// were. A missing file changes nothing.
void read_parameter_file(state::Parameters& parameters, const std::string& name = k_parameter_file);

// The six lines of the file for these values, without line ends.
std::vector<std::string> parameter_file_lines(const state::Parameters& parameters);

// Replaces the file with the six lines, atomically.
textio::IoStatus write_parameter_file(const state::Parameters& parameters,
                                      const std::string& name = k_parameter_file);

}  // namespace params
