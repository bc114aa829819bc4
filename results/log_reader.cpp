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

// A real that may be written as "NaN" (the average time of a run in which nothing was
// answered): that reads back as not a number, everything else by the ordinary rules.
std::optional<float> real_or_nan_at(std::string_view line, const textio::Field& field) {
    const std::string text = textio::text_at(line, field);
    const std::size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && std::string_view(text).substr(first) == "NaN") {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return real_at(line, field);
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

// Reads every value field of the record's table into its member, in column order. A real
// is read as written: its point gives the decimals, a field without one is a whole number.
template <class Record>
RecordLine read_fields(std::string_view line) {
    Record record;
    RecordLine read;
    for (const layout::BoundField<Record>& bound : layout::table_of<Record>()) {
        if (!bound.field.holds_value()) continue;
        bool readable = false;
        if (bound.stamp_part || bound.integer) {
            if (const std::optional<int32_t> value = integer_at(line, bound.field)) {
                readable = true;
                (bound.stamp_part ? record.stamp.*bound.stamp_part : record.*bound.integer) =
                    *value;
            }
        } else {
            const std::optional<float> value =
                bound.nan_written ? real_or_nan_at(line, bound.field) : real_at(line, bound.field);
            if (value) {
                readable = true;
                record.*bound.real = *value;
            }
        }
        if (!readable) {
            read.unreadable.push_back(bound.field.name);
            if (bound.use == layout::Use::plotted) read.plotted_fields_read = false;
        }
    }
    read.calendar_date = is_calendar_date(record.stamp);
    read.cut_short = line.size() < layout::line_length<Record>();
    read.record = record;
    return read;
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

std::optional<RecordLine> read_record(std::string_view line) {
    if (has_mark(line, layout::sight_check_mark)) return read_fields<SightCheckRecord>(line);
    if (has_mark(line, layout::training_mark)) return read_fields<TrainingRecord>(line);
    return std::nullopt;
}

std::optional<TimeStamp> parse_log_stamp(std::string_view line) {
    // Both records begin with the same date and time; this takes them from the sight check's
    // table alone.
    TimeStamp stamp;
    for (const auto& bound : layout::table_of<SightCheckRecord>()) {
        if (!bound.stamp_part) continue;
        const std::optional<int32_t> value = integer_at(line, bound.field);
        if (!value) return std::nullopt;
        stamp.*bound.stamp_part = *value;
    }
    if (!is_calendar_date(stamp)) return std::nullopt;
    return stamp;
}

std::optional<LogRecord> parse_log_line(std::string_view line) {
    const std::optional<RecordLine> read = read_record(line);
    if (!read || !read->drawable()) return std::nullopt;
    return read->record;
}

double day_start_seconds(const TimeStamp& stamp) {
    return NDAYS(stamp.day, stamp.month, stamp.year) * k_seconds_per_day;
}

double stamp_seconds(const TimeStamp& stamp) {
    return day_start_seconds(stamp) + 3600.0 * stamp.hour + (60.0 * stamp.minute + stamp.second);
}

std::optional<textio::IoErrorKind> read_log_records(
    const std::string& name, const std::function<void(const RecordLine&)>& record_body) {
    return read_log_lines(name, [&record_body](std::string_view line) {
        if (const std::optional<RecordLine> read = read_record(line)) record_body(*read);
    });
}

std::optional<textio::IoErrorKind> read_log(
    const std::string& name, const std::function<void(const LogRecord&)>& record_body) {
    return read_log_records(name, [&record_body](const RecordLine& read) {
        if (read.drawable()) record_body(read.record);
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
