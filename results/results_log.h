#pragma once

#include <string>

#include "gfx/canvas.h"
#include "results/log_record.h"

namespace results {

inline const std::string k_log_file = "pelidor.rtr";
// Unit number under which the results log is reported in I/O errors.
constexpr int k_log_unit = 16;

// The header line (115 characters) and the two record lines (80 and 115), without line ends.
std::string log_header();
std::string format_record(const SightCheckRecord& record);
std::string format_record(const TrainingRecord& record);

// Stamp the record with DATETIMEWR, take DIST (and DIAG, NY, NX) from the shared parameters,
// and append it to the log; a failure to write ends the program with the I/O error report.
void append_sight_check(gfx::Canvas& canvas, float AOV);
// The record's stamp and DIST are those of the moment of writing, whatever `run` holds.
void append_training(gfx::Canvas& canvas, const TrainingRecord& run);

}  // namespace results
