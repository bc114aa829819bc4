#pragma once

#include <optional>

#include "gfx/dialog.h"

namespace params {

constexpr int k_parameters_dialog_id = 101;

// Edit fields of the parameters dialog, in the order they are filled and read.
enum FieldId : int {
    k_distance_field = 1000,
    k_diagonal_field = 1001,
    k_resolution_y_field = 1002,
    k_resolution_x_field = 1003,
    k_volume_field = 1004,
    k_answer_time_field = 1005,
};
constexpr int k_begin_button = 1;
constexpr int k_exit_button = 2;

// The dialog templates of the program by resource id; nothing for an unknown id.
std::optional<gfx::DialogTemplate> find_dialog_template(int resource_id);

}  // namespace params
