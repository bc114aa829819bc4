#include "results/log_reader.h"

#include <cmath>
#include <limits>

#include "results/date_time.h"
#include "textio/fields.h"
#include "textio/line_file.h"

namespace results {

namespace {

constexpr size_t k_sight_check_line_length = 80;
constexpr size_t k_training_line_length = 115;

std::optional<int32_t> integer_at(std::string_view line, int column, int width) {
    const std::optional<int64_t> value = textio::read_int(textio::field_at(line, column, width));
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

// A real field written with its decimal point, read back as written. A value beyond the range
// of a real (such as "1+99") was not written by the program and makes the line unusable.
std::optional<float> real_at(std::string_view line, int column, int width) {
    const std::optional<double> value = textio::read_real(textio::field_at(line, column, width), 0);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*value);
}

// The average time is written as "NaN" for a run in which nothing was answered; that reads
// back as not a number, everything else by the ordinary rules. The whole written field is
// read, so a time of 10000 s or more keeps its leading digit.
std::optional<float> average_time_at(std::string_view line) {
    constexpr int column = 96;
    constexpr int width = 8;
    const std::string field = textio::field_at(line, column, width);
    if (field.find_first_not_of(' ') != std::string::npos &&
        field.substr(field.find_first_not_of(' ')) == "NaN") {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return real_at(line, column, width);
}

bool is_leap_year(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t days_in_month(int32_t month, int32_t year) {
    constexpr int32_t lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return lengths[month - 1] + (month == 2 && is_leap_year(year) ? 1 : 0);
}

bool is_calendar_date(const TimeStamp& stamp) {
    return stamp.year >= 1 && stamp.month >= 1 && stamp.month <= 12 && stamp.day >= 1 &&
           stamp.day <= days_in_month(stamp.month, stamp.year);
}

// A sight-check ("DD") or training ("Is") record by columns 48-49.
bool is_record(std::string_view line) {
    const std::string kind = textio::field_at(line, 48, 2);
    return kind == "DD" || kind == "Is";
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
    const auto day = integer_at(line, 2, 2);
    const auto month = integer_at(line, 5, 2);
    const auto year = integer_at(line, 8, 4);
    const auto hour = integer_at(line, 16, 2);
    const auto minute = integer_at(line, 22, 2);
    const auto second = integer_at(line, 28, 2);
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
    const std::string kind = textio::field_at(line, 48, 2);
    if (kind == "DD" && line.size() < k_sight_check_line_length) return std::nullopt;
    if (kind == "Is" && line.size() < k_training_line_length) return std::nullopt;
    if (kind == "DD") {
        const auto distance = real_at(line, 37, 7);
        const auto acuity = real_at(line, 77, 4);
        if (!distance || !acuity) return std::nullopt;
        entry.kind = RecordKind::sight_check;
        entry.distance = *distance;
        entry.acuity = *acuity;
        return entry;
    }
    if (kind == "Is") {
        const auto distance = real_at(line, 37, 7);
        const auto size = integer_at(line, 51, 4);
        const auto presented = integer_at(line, 60, 4);
        const auto average_time = average_time_at(line);
        const auto push_ups = integer_at(line, 112, 4);
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
    // A line of another kind counts with its date and time alone; a record that does not read
    // in full is skipped here as in the drawing.
    const auto open_error = read_log_lines(name, [&span](std::string_view line) {
        const std::optional<TimeStamp> stamp = parse_log_stamp(line);
        if (!stamp || (is_record(line) && !parse_log_line(line))) return;
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
