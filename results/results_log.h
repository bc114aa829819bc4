#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/canvas.h"

namespace results {

inline const std::string k_log_file = "pelidor.rtr";
// Unit number under which the results log is reported in I/O errors.
constexpr int k_log_unit = 16;

// Date and time at which an exercise ended.
struct TimeStamp {
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

struct SightCheckRecord {
    TimeStamp stamp;
    float distance = 0;  // D, cm
    float diagonal = 0;  // DD, inches
    int32_t ny = 0;
    int32_t nx = 0;
    float acuity = 0;  // AOV
};

struct TrainingRecord {
    TimeStamp stamp;
    float distance = 0;        // D, cm
    int32_t size = 0;          // Is
    int32_t presented = 0;     // Np
    int32_t true_answers = 0;  // Nt
    int32_t errors = 0;        // Ner
    int32_t not_answered = 0;  // Nna
    float average_time = 0;    // t_av, s; NaN when nothing was answered
    int32_t push_ups = 0;      // Npup
};

// The header line (115 characters) and the two record lines (80 and 115), without line ends.
std::string log_header();
std::string format_record(const SightCheckRecord& record);
std::string format_record(const TrainingRecord& record);

// Stamp the record with DATETIMEWR, take DIST (and DIAG, NY, NX) from the shared parameters,
// and append it to the log; a failure to write ends the program with the I/O error report.
void append_sight_check(gfx::Canvas& canvas, float acuity);
void append_training(gfx::Canvas& canvas, const TrainingRecord& counts);

}  // namespace results
