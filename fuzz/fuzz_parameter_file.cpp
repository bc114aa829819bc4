// The parameter file reader on arbitrary files, from the defaults. Whatever it read, the file
// the program then writes must read back to the same values. A negative value that rounds to
// zero is written with its sign (" -0.000") and reads back as a zero, which is written without
// one, so the text is a fixed point from the second writing on.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "params/parameter_file.h"

namespace {

state::Parameters read_back(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    state::Parameters parameters = params::default_parameters();
    params::read_parameter_file(parameters, fuzz::write_input("written.vvd", text));
    return parameters;
}

// Equal as numbers (a negative zero is the zero it reads back as); a NaN equals a NaN.
bool same_real(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool same_values(const state::Parameters& a, const state::Parameters& b) {
    return same_real(a.DIST, b.DIST) && same_real(a.DIAG, b.DIAG) && a.NY == b.NY && a.NX == b.NX &&
           a.NVOL == b.NVOL && same_real(a.TANS, b.TANS);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    state::Parameters parameters = params::default_parameters();
    params::read_parameter_file(
        parameters, fuzz::write_input(params::k_parameter_file, fuzz::as_text(data, size)));

    const std::vector<std::string> lines = params::parameter_file_lines(parameters);
    for (const std::string& line : lines) {
        // A value too wide for its field is written as asterisks and cannot be read back.
        if (line.find('*') != std::string::npos) return 0;
    }
    const state::Parameters again = read_back(lines);
    const std::vector<std::string> lines_again = params::parameter_file_lines(again);
    const state::Parameters third = read_back(lines_again);
    fuzz::require(same_values(again, third), "a written parameter file read back to other values");
    fuzz::require(params::parameter_file_lines(third) == lines_again,
                  "a file written from what was read back is not a fixed point");
    return 0;
}
