#include "results/log_reader.h"

#include <cmath>
#include <limits>

#include "results/date_time.h"
#include "results/log_layout.h"
#include "textio/calendar.h"
#include "textio/fields.h"
#include "textio/layout.h"
#include "textio/line_file.h"

namespace results {

namespace {

namespace layout = log_layout;

std::optional<int32_t> integer_at(std::string_view line, const textio::Field& field) {
    return textio::read_int32(textio::text_at(line, field));
}

// A real field written with its decimal point, read back as written. A value beyond the range
// of a real (such as "1+99") was not written by the program and makes the line unusable.
std::optional<float> real_at(std::string_view line, const textio::Field& field) {
    return textio::read_float(textio::text_at(line, field), 0);
}

// The average time is written as "NaN" for a run in which nothing was answered; that reads
// back as not a number, everything else by the ordinary rules. The whole written field is
// read, so a time of 10000 s or more keeps its leading digit.
std::optional<float> average_time_at(std::string_view line) {
    const std::string field = textio::text_at(line, layout::average_time);
    if (field.find_first_not_of(' ') != std::string::npos &&
        field.substr(field.find_first_not_of(' ')) == "NaN") {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return real_at(line, layout::average_time);
}

bool is_calendar_date(const TimeStamp& stamp) {
    return stamp.year >= 1 && stamp.month >= 1 && stamp.month <= 12 && stamp.day >= 1 &&
           stamp.day <= textio::days_in_month(stamp.month, stamp.year);
}

// True when the line carries the kind mark in its columns. A mark has no blanks, so a line too
// short to hold it does not carry it.
bool has_mark(std::string_view line, const textio::Field& mark) {
    const auto start = static_cast<std::size_t>(mark.column - 1);
    return line.size() >= start + mark.descriptor.text.size() &&
           line.substr(start, mark.descriptor.text.size()) == mark.descriptor.text;
}

// Reads the log `name` from its start, skips the header and calls `line_body` with every
// further line, cut to k_log_line_length characters.
std::optional<textio::IoErrorKind> read_log_lines(
    const std::string& name, const std::function<void(std::string_view)>& line_body) {
    textio::LineReader reader(name, k_log_line_length);
    if (!reader.is_open()) return reader.open_error();

    reader.next_line();  // the header, never read
    while (const std::optional<std::string> line = reader.next_line()) line_body(*line);
    if (reader.read_failed())
        textio::raise_io_error(textio::IoErrorKind::read_error, k_log_unit, name);
    return std::nullopt;
}

}  // namespace

std::optional<TimeStamp> parse_log_stamp(std::string_view line) {
    const auto day = integer_at(line, layout::day);
    const auto month = integer_at(line, layout::month);
    const auto year = integer_at(line, layout::year);
    const auto hour = integer_at(line, layout::hour);
    const auto minute = integer_at(line, layout::minute);
    const auto second = integer_at(line, layout::second);
    if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
    const TimeStamp stamp{*day, *month, *year, *hour, *minute, *second};
    if (!is_calendar_date(stamp)) return std::nullopt;
    return stamp;
}

std::optional<LogEntry> parse_log_line(std::string_view line) {
    const std::optional<TimeStamp> stamp = parse_log_stamp(line);
    if (!stamp) return std::nullopt;

    LogEntry entry;
    entry.stamp = *stamp;
    // A record shorter than its kind's line was cut off as it was written (a writer killed in
    // the middle of its write, which the system may split at a page boundary): padded with
    // blanks its last fields would read as other numbers, so it is not used.
    const bool sight_check = has_mark(line, layout::sight_check_mark);
    const bool training = has_mark(line, layout::training_mark);
    if (sight_check && line.size() < layout::k_sight_check_length) return std::nullopt;
    if (training && line.size() < layout::k_training_length) return std::nullopt;
    if (sight_check) {
        const auto distance = real_at(line, layout::distance);
        const auto acuity = real_at(line, layout::acuity);
        if (!distance || !acuity) return std::nullopt;
        entry.kind = RecordKind::sight_check;
        entry.distance = *distance;
        entry.acuity = *acuity;
        return entry;
    }
    if (training) {
        const auto distance = real_at(line, layout::distance);
        const auto size = integer_at(line, layout::size);
        const auto presented = integer_at(line, layout::presented);
        const auto average_time = average_time_at(line);
        const auto push_ups = integer_at(line, layout::push_ups);
        if (!distance || !size || !presented || !average_time || !push_ups) return std::nullopt;
        entry.kind = RecordKind::training;
        entry.distance = *distance;
        entry.size = *size;
        entry.presented = *presented;
        entry.average_time = *average_time;
        entry.push_ups = *push_ups;
        return entry;
    }
    return std::nullopt;
}

double day_start_seconds(const TimeStamp& stamp) {
    return NDAYS(stamp.day, stamp.month, stamp.year) * k_seconds_per_day;
}

double stamp_seconds(const TimeStamp& stamp) {
    return day_start_seconds(stamp) + 3600.0 * stamp.hour + (60.0 * stamp.minute + stamp.second);
}

std::optional<textio::IoErrorKind> read_log(
    const std::string& name, const std::function<void(const LogEntry&)>& entry_body) {
    return read_log_lines(name, [&entry_body](std::string_view line) {
        if (const std::optional<LogEntry> entry = parse_log_line(line)) entry_body(*entry);
    });
}

LogSpan scan_log_span(const std::string& name) {
    LogSpan span;
    // Every line counts with its date and time alone, whatever its kind mark and the rest of
    // it hold: a record that the drawing cannot read in full still stretches the span.
    const auto open_error = read_log_lines(name, [&span](std::string_view line) {
        const std::optional<TimeStamp> stamp = parse_log_stamp(line);
        if (!stamp) return;
        const double day_start = day_start_seconds(*stamp);
        if (!span.has_records) {
            span.has_records = true;
            span.first_day_start = day_start;
            span.latest_day_start = day_start;
            span.beginning = *stamp;
            span.end = *stamp;
            return;
        }
        // Strict comparisons: among records of one date the first in the file stands for it.
        if (day_start < span.first_day_start) {
            span.first_day_start = day_start;
            span.beginning = *stamp;
        }
        if (day_start > span.latest_day_start) {
            span.latest_day_start = day_start;
            span.end = *stamp;
        }
    });
    span.opened = !open_error;
    return span;
}

}  // namespace results
