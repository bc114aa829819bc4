#include "params/parameters_dialog.h"

#include <optional>
#include <string>

#include "gfx/platform.h"
#include "params/dialog_template.h"
#include "params/parameter_file.h"
#include "params/parameter_table.h"
#include "state/shared_state.h"
#include "textio/io_error.h"

namespace params {

namespace {

constexpr int k_read_width = 10;

// The field's text as the ten-character buffer holds it: cut to ten, blank-padded.
std::string ten_characters(std::string text) {
    text.resize(k_read_width, ' ');
    return text;
}

// Reads the field's number into the parameters; false when the text is not a number.
bool take_back(const Parameter& parameter, const gfx::Dialog& dialog,
               state::Parameters& parameters) {
    return read_value(parameter, ten_characters(dialog.text(parameter.dialog_field)), 0,
                      parameters);
}

// The first field whose text is not a number, if any.
const Parameter* unreadable_field(const gfx::Dialog& dialog) {
    state::Parameters scratch;
    for (const Parameter& parameter : k_parameters) {
        if (!take_back(parameter, dialog, scratch)) return &parameter;
    }
    return nullptr;
}

}  // namespace

void OBROK(gfx::Dialog& dialog, int control_id, int /*callback_type*/) {
    if (control_id == k_begin_button) {
        // Refuse text that is not a number while the user can still mend it, rather than end
        // the program with what was typed lost.
        if (const Parameter* field = unreadable_field(dialog)) {
            dialog.refuse(
                field->dialog_field,
                std::string("\"") + field->name + "\" must be a number. Please correct the field.");
            return;
        }
        state::run().IBEGIN = 1;
    } else if (control_id == k_exit_button) {
        state::run().IBEGIN = 0;
    }
    dialog.exit();
}

void VVDALND(gfx::Canvas& canvas) {
    state::Parameters& parameters = state::run().parameters;
    parameters = default_parameters();

    std::optional<gfx::DialogTemplate> layout = find_dialog_template(k_parameters_dialog_id);
    if (!layout) canvas.platform().report_fatal("Dialog IDD_DIALOG1 not found");
    gfx::Dialog dialog(std::move(*layout));

    read_parameter_file(parameters);

    dialog.set_text(k_exit_button, "Exit from the program");
    dialog.set_text(k_begin_button, "Begin the training");
    for (const Parameter& parameter : k_parameters) {
        dialog.set_text(parameter.dialog_field,
                        written_value(parameter, parameters, parameter.shown));
    }

    state::run().IBEGIN = 0;
    dialog.set_routine(k_exit_button, OBROK);
    dialog.set_routine(k_begin_button, OBROK);
    canvas.platform().run_dialog(dialog);

    if (state::run().IBEGIN == 0) {
        canvas.close_unit(1);
        canvas.platform().beep(0, 0);
        canvas.platform().stop_program();
    }

    for (const Parameter& parameter : k_parameters) take_back(parameter, dialog, parameters);
    const textio::IoStatus written = write_parameter_file(parameters);
    if (!written) textio::raise_io_error(written.error(), k_parameter_unit, k_parameter_file);
}

}  // namespace params
