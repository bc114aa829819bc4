#pragma once

#include <string>

#include "state/shared_state.h"

namespace app {

// Unit number under which the figure file is reported in I/O errors.
constexpr int k_figure_unit = 14;
inline const std::string k_figure_file = "pelidor.sym";

// Loads the nine figures of the figure file into the tables. Each section is a header record
// with the point count in columns 17-24, then the row and column offsets of the points, 20
// four-column integers per record. Any missing record or unreadable number ends the program
// with the I/O error report.
void load_figures(state::FigureTables& figures, const std::string& file_name = k_figure_file);

}  // namespace app
