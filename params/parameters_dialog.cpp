#include "params/parameters_dialog.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "gfx/platform.h"
#include "params/dialog_template.h"
#include "params/parameter_file.h"
#include "state/shared_state.h"
#include "textio/fields.h"
#include "textio/io_error.h"

namespace params {

namespace {

constexpr int k_read_width = 10;

// How one edit field shows and takes back its parameter.
struct Field {
    int id;
    const char* name;  // the label the user sees, for messages
    bool integer;
    int shown_width;
    int shown_decimals;
    float state::Parameters::*real_value;
    int32_t state::Parameters::*integer_value;
};

const Field k_fields[] = {
    {k_distance_field, "Distance from eyes up to display", false, 6, 1, &state::Parameters::DIST,
     nullptr},
    {k_diagonal_field, "Diagonal of display", false, 6, 2, &state::Parameters::DIAG, nullptr},
    {k_resolution_y_field, "Display resolution Ny", true, 4, 0, nullptr, &state::Parameters::NY},
    {k_resolution_x_field, "Display resolution Nx", true, 4, 0, nullptr, &state::Parameters::NX},
    {k_volume_field, "Volume of training", true, 4, 0, nullptr, &state::Parameters::NVOL},
    {k_answer_time_field, "Time for the answer", false, 6, 1, &state::Parameters::TANS, nullptr},
};

std::string shown_text(const Field& field, const state::Parameters& parameters) {
    if (field.integer)
        return textio::format_int(parameters.*field.integer_value, field.shown_width);
    return textio::format_fixed(parameters.*field.real_value, field.shown_width,
                                field.shown_decimals);
}

// The field's text as the ten-character buffer holds it: cut to ten, blank-padded.
std::string ten_characters(std::string text) {
    text.resize(k_read_width, ' ');
    return text;
}

// Reads the field's number into the parameters; false when the text is not a number.
bool take_back(const Field& field, const gfx::Dialog& dialog, state::Parameters& parameters) {
    const std::string text = ten_characters(dialog.text(field.id));
    if (field.integer) {
        const std::optional<int64_t> value = textio::read_int(text);
        if (!value || *value < INT32_MIN || *value > INT32_MAX) return false;
        parameters.*field.integer_value = static_cast<int32_t>(*value);
    } else {
        const std::optional<double> value = textio::read_real(text, 0);
        // A number beyond the range of the parameter's real is no number it can hold.
        if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return false;
        parameters.*field.real_value = static_cast<float>(*value);
    }
    return true;
}

// The first field whose text is not a number, if any.
const Field* unreadable_field(const gfx::Dialog& dialog) {
    state::Parameters scratch;
    for (const Field& field : k_fields) {
        if (!take_back(field, dialog, scratch)) return &field;
    }
    return nullptr;
}

}  // namespace

void OBROK(gfx::Dialog& dialog, int control_id, int /*callback_type*/) {
    if (control_id == k_begin_button) {
        // Refuse text that is not a number while the user can still mend it, rather than end
        // the program with what was typed lost.
        if (const Field* field = unreadable_field(dialog)) {
            dialog.refuse(field->id, std::string("\"") + field->name +
                                         "\" must be a number. Please correct the field.");
            return;
        }
        state::run().IBEGIN = 1;
    } else if (control_id == k_exit_button) {
        state::run().IBEGIN = 0;
    }
    dialog.exit();
}

void VVDALND(gfx::Canvas& ws) {
    state::Parameters& parameters = state::run().parameters;
    parameters = default_parameters();

    std::optional<gfx::DialogTemplate> layout = find_dialog_template(k_parameters_dialog_id);
    if (!layout) ws.platform().report_fatal("Dialog IDD_DIALOG1 not found");
    gfx::Dialog dialog(std::move(*layout));

    read_parameter_file(parameters);

    dialog.set_text(k_exit_button, "Exit from the program");
    dialog.set_text(k_begin_button, "Begin the training");
    for (const Field& field : k_fields) dialog.set_text(field.id, shown_text(field, parameters));

    state::run().IBEGIN = 0;
    dialog.set_routine(k_exit_button, OBROK);
    dialog.set_routine(k_begin_button, OBROK);
    ws.platform().run_dialog(dialog);

    if (state::run().IBEGIN == 0) {
        ws.close_unit(1);
        ws.platform().beep(0, 0);
        ws.platform().stop_program();
    }

    for (const Field& field : k_fields) take_back(field, dialog, parameters);
    const textio::IoStatus written = write_parameter_file(parameters);
    if (!written) textio::raise_io_error(written.error(), k_parameter_unit, k_parameter_file);
}

}  // namespace params
