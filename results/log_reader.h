#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/log_record.h"
#include "results/results_log.h"
#include "textio/io_error.h"

// Reading the results log back, for the progress graph and for whatever wants its records: one
// line at a time, never the whole file, so a log of any length is read in constant memory.
namespace results {

// One line of the log read as a record of the kind its mark names, every field of that kind
// taken by its column and descriptor.
struct RecordLine {
    LogRecord record;
    // The value fields that do not read (asterisks, letters, a second point, a number beyond
    // the range of its type), by their names in the log ("Nt", "t_av"); their members are 0.
    std::vector<std::string_view> unreadable;
    // False when a field that the progress graph plots, or a part of the date and time, is
    // among them.
    bool plotted_fields_read = true;
    // Day, month and year name a day of the calendar (a blank line has day, month and year 0).
    bool calendar_date = false;
    // Shorter than its kind's record (80 or 115 characters): cut off as it was written (a
    // writer killed in the middle of its write, which the system may split at a page
    // boundary). Padded with blanks its last fields would read as other numbers.
    bool cut_short = false;

    // The progress graph draws the record only when all three hold.
    bool drawable() const { return plotted_fields_read && calendar_date && !cut_short; }
};

// The record of one log line, or nothing when columns 48-49 hold neither "DD" nor "Is".
std::optional<RecordLine> read_record(std::string_view line);

// The date and time of one log line, whatever its kind, or nothing when a field is not an
// integer (asterisks, letters) or the date is not on the calendar (a blank line has day, month
// and year 0). An hour, minute or second beyond its usual range is taken as the number it is.
std::optional<TimeStamp> parse_log_stamp(std::string_view line);

// The record of one log line as the progress graph takes it, or nothing when it cannot draw
// it: a line of neither kind, or one whose record is not drawable.
std::optional<LogRecord> parse_log_line(std::string_view line);

// Seconds from the start of day 0 of NDAYS to the start of the stamp's day, and to the stamp.
double day_start_seconds(const TimeStamp& stamp);
double stamp_seconds(const TimeStamp& stamp);

constexpr double k_seconds_per_day = 86400.0;

// Lines are taken as at most this many characters; the rest of a longer line is ignored.
constexpr size_t k_log_line_length = 120;

// Reads the log `name` from its start: skips the first line (the header) and calls
// `record_body` with the record of every further line of either kind, drawable or not, in file
// order. Nothing when the log was read, the error of the open when it could not be opened
// (file_not_found when there is none). A read error after the open ends the program with the
// I/O error report.
std::optional<textio::IoErrorKind> read_log_records(
    const std::string& name, const std::function<void(const RecordLine&)>& record_body);

// As read_log_records, with only the records the progress graph draws.
std::optional<textio::IoErrorKind> read_log(
    const std::string& name, const std::function<void(const LogRecord&)>& record_body);

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
