// The parameter file reader on arbitrary files, from the defaults. Whatever it read, the file
// the program then writes must read back to the same text: a written file is a fixed point.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "params/parameter_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    state::Parameters parameters = params::default_parameters();
    params::read_parameter_file(
        parameters, fuzz::write_input(params::k_parameter_file, fuzz::as_text(data, size)));

    const std::vector<std::string> lines = params::parameter_file_lines(parameters);
    for (const std::string& line : lines) {
        // A value too wide for its field is written as asterisks and cannot be read back.
        if (line.find('*') != std::string::npos) return 0;
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    state::Parameters again = params::default_parameters();
    params::read_parameter_file(again, fuzz::write_input("written.vvd", text));
    fuzz::require(params::parameter_file_lines(again) == lines,
                  "a written parameter file read back to other values");
    return 0;
}
