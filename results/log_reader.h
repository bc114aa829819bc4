#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "results/results_log.h"
#include "textio/io_error.h"

// Reading the results log back for the progress graph: one line at a time, never the whole
// file, so a log of any length is read in constant memory.
namespace results {

enum class RecordKind { sight_check, training };

// What the progress graph takes from one record of the log.
struct LogEntry {
    TimeStamp stamp;
    RecordKind kind = RecordKind::sight_check;
    float distance = 0;      // D, cm
    float acuity = 0;        // AOV, sight checks only
    int32_t size = 0;        // Is, trainings only, like the three below
    int32_t presented = 0;   // Np
    float average_time = 0;  // t_av, s; NaN for a run in which nothing was answered
    int32_t push_ups = 0;    // Npup
};

// The date and time of one log line, whatever its kind, or nothing when a field is not an
// integer (asterisks, letters) or the date is not on the calendar (a blank line has day, month
// and year 0). An hour, minute or second beyond its usual range is taken as the number it is.
std::optional<TimeStamp> parse_log_stamp(std::string_view line);

// The entry of one log line, or nothing when the line cannot be used: a date and time that
// parse_log_stamp refuses, neither "DD" nor "Is" in columns 48-49, a line shorter than its
// kind's record (80 or 115 characters), or a field of the record's kind that does not read.
std::optional<LogEntry> parse_log_line(std::string_view line);

// Seconds from the start of day 0 of NDAYS to the start of the stamp's day, and to the stamp.
double day_start_seconds(const TimeStamp& stamp);
double stamp_seconds(const TimeStamp& stamp);

constexpr double k_seconds_per_day = 86400.0;

// Lines are taken as at most this many characters; the rest of a longer line is ignored.
constexpr size_t k_log_line_length = 120;

// Reads the log `name` from its start: skips the first line (the header) and every line that
// cannot be used, and calls `entry_body` with each entry in file order. Nothing when the log
// was read, the error of the open when it could not be opened (file_not_found when there is
// none). A read error after the open ends the program with the I/O error report.
std::optional<textio::IoErrorKind> read_log(const std::string& name,
                                            const std::function<void(const LogEntry&)>& entry_body);

// The days the log's lines fall on, found by one pass over it: every line whose date and time
// parse_log_stamp takes counts, whatever its kind and its other fields.
struct LogSpan {
    bool opened = false;
    bool has_records = false;
    double first_day_start = 0;   // T0, seconds: midnight before the earliest record
    double latest_day_start = 0;  // midnight before the latest record
    // The first record, in file order, of the earliest date and of the latest date.
    TimeStamp beginning;
    TimeStamp end;

    // T1: the midnight after the latest record.
    double end_seconds() const { return latest_day_start + k_seconds_per_day; }
};

LogSpan scan_log_span(const std::string& name);

}  // namespace results
