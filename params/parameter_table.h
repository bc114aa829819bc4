#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "params/dialog_template.h"
#include "state/shared_state.h"
#include "textio/layout.h"

namespace params {

// One of the six parameters, as the dialog shows it and as the parameter file holds it. The
// file has one line per parameter, in this order: the value in columns 1-7, then its note.
struct Parameter {
    const char* name;  // the label the user sees in the dialog, for messages
    int dialog_field;  // the edit field that shows it
    textio::Descriptor shown;
    textio::Field stored;
    const char* note;
    // The value: a real or an integer, as `shown` and `stored` say.
    float state::Parameters::*real;
    int32_t state::Parameters::*integer;

    bool is_integer() const { return stored.descriptor.kind == textio::Descriptor::Kind::integer; }
};

using textio::Descriptor;

constexpr textio::Field k_real_value{1, Descriptor::F(7, 3), "value"};
constexpr textio::Field k_integer_value{1, Descriptor::I(7), "value"};

inline const Parameter k_parameters[] = {
    {"Distance from eyes up to display", k_distance_field, Descriptor::F(6, 1), k_real_value,
     "  (distance in centimeters)", &state::Parameters::DIST, nullptr},
    {"Diagonal of display", k_diagonal_field, Descriptor::F(6, 2), k_real_value,
     "  (diagonal of display in inches)", &state::Parameters::DIAG, nullptr},
    {"Display resolution Ny", k_resolution_y_field, Descriptor::I(4), k_integer_value,
     "  (display resolution, pixels on the Y)", nullptr, &state::Parameters::NY},
    {"Display resolution Nx", k_resolution_x_field, Descriptor::I(4), k_integer_value,
     "  (display resolution, pixels on the X)", nullptr, &state::Parameters::NX},
    {"Volume of training", k_volume_field, Descriptor::I(4), k_integer_value,
     "  (volume of training)", nullptr, &state::Parameters::NVOL},
    {"Time for the answer", k_answer_time_field, Descriptor::F(6, 1), k_real_value,
     "  (time for the ansver in seconds)", &state::Parameters::TANS, nullptr},
};

// How a real that does not fit its decimals is written: as asterisks, or with as many decimals
// as fit (so that it reads back unchanged).
enum class Decimals { as_given, as_many_as_fit };

// The parameter's value written by the descriptor (of the same kind as the parameter).
std::string written_value(const Parameter& parameter, const state::Parameters& values,
                          const Descriptor& descriptor, Decimals decimals = Decimals::as_given);

// Reads the text as the parameter's number, a real with `decimals` implied when it has no point,
// into the values; false, leaving them as they were, when the text is not such a number.
bool read_value(const Parameter& parameter, std::string_view text, int decimals,
                state::Parameters& values);

}  // namespace params
