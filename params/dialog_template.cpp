#include "params/dialog_template.h"

namespace params {

namespace {

using gfx::ControlKind;
using gfx::ControlTemplate;

ControlTemplate button(int id, const char* text, int x, int y, int width, int height) {
    return ControlTemplate{id, ControlKind::push_button, text, x, y, width, height, false, false};
}

ControlTemplate label(const char* text, int x, int y, int width, int height) {
    return ControlTemplate{-1, ControlKind::label, text, x, y, width, height, false, false};
}

enum class EditStyle { plain, scrolling, digits_only };

ControlTemplate edit(int id, int x, int y, int width, int height, EditStyle style) {
    return ControlTemplate{id,
                           ControlKind::edit,
                           "",
                           x,
                           y,
                           width,
                           height,
                           style != EditStyle::plain,
                           style == EditStyle::digits_only};
}

gfx::DialogTemplate parameters_dialog() {
    using enum EditStyle;
    return gfx::DialogTemplate{
        k_parameters_dialog_id,
        "Input parameters.   If necessary, change!",
        50,
        20,
        340,
        238,
        "MS Sans Serif",
        8,
        {
            button(k_begin_button, "Begin the training", 15, 195, 168, 36),
            button(k_exit_button, "Exit from the program", 244, 210, 86, 21),
            label("Distance from eyes up to display", 18, 7, 103, 12),
            edit(k_distance_field, 129, 7, 50, 17, plain),
            label("centimeters", 193, 7, 53, 12),
            label("Diagonal of display", 18, 37, 76, 13),
            label("inches", 193, 36, 31, 14),
            edit(k_diagonal_field, 129, 34, 50, 17, scrolling),
            label("Display resolution", 18, 79, 75, 12),
            label("Volume of training", 18, 131, 79, 11),
            label("praxis", 193, 131, 60, 15),
            label("Nx=", 94, 89, 16, 11),
            label("pixels on the screen", 193, 89, 68, 11),
            label("pixels on the screen", 193, 73, 68, 11),
            label("Ny=", 94, 73, 16, 11),
            edit(k_resolution_y_field, 137, 71, 44, 14, digits_only),
            edit(k_resolution_x_field, 137, 88, 44, 14, digits_only),
            edit(k_volume_field, 129, 127, 50, 17, digits_only),
            label("(Be not too lazy, measure!", 236, 31, 94, 10),
            label("1 inch = 25.4 mm)", 235, 42, 59, 9),
            edit(k_answer_time_field, 130, 152, 50, 17, digits_only),
            label("Time for the answer", 18, 155, 79, 11),
            label("seconds", 193, 155, 60, 15),
        },
    };
}

}  // namespace

std::optional<gfx::DialogTemplate> find_dialog_template(int resource_id) {
    if (resource_id == k_parameters_dialog_id) return parameters_dialog();
    return std::nullopt;
}

}  // namespace params
