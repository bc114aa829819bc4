// The two passes of the progress graph over an arbitrary results log: the span of days, then
// the records. Every record of the second pass must fall on a day inside the span of the first;
// the first pass also counts lines of other kinds, so it may find records where the second
// draws none. A drawn record, written again, is drawn again.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "fuzz_input.h"
#include "results/log_reader.h"

namespace {

// Every number the graph plots is a finite real; only an unanswered run's time is NaN.
bool finite_values(const results::SightCheckRecord& record) {
    return std::isfinite(record.DIST) && std::isfinite(record.AOV) && std::isfinite(record.DIAG);
}
bool finite_values(const results::TrainingRecord& record) {
    return std::isfinite(record.DIST) && !std::isinf(record.TAV);
}

// The record written by the log's writer reads back as a drawn record of its kind with the same
// date and time, unless a value grew too wide for its field (asterisks): the writer and the
// reader agree on the columns.
template <class Record>
bool drawn_again(const Record& record) {
    const std::string line = results::format_record(record);
    if (line.find('*') != std::string::npos) return true;
    const std::optional<results::LogRecord> again = results::parse_log_line(line);
    if (!again || !std::holds_alternative<Record>(*again)) return false;
    const results::TimeStamp& a = record.stamp;
    const results::TimeStamp& b = std::get<Record>(*again).stamp;
    return a.day == b.day && a.month == b.month && a.year == b.year && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::write_input(results::k_log_file, fuzz::as_text(data, size));

    const results::LogSpan span = results::scan_log_span(path);
    fuzz::require(span.opened, "the log did not open");

    int64_t records = 0;
    const auto open_error = results::read_log(path, [&](const results::LogRecord& record) {
        ++records;
        const results::TimeStamp& stamp = results::stamp_of(record);
        const double day_start = results::day_start_seconds(stamp);
        fuzz::require(span.has_records, "a record in a log whose span found none");
        fuzz::require(day_start >= span.first_day_start && day_start <= span.latest_day_start,
                      "a record outside the span of days");
        // An hour, minute or second beyond its usual range is the number it holds, so the time
        // may leave its day, but it stays a finite number.
        fuzz::require(std::isfinite(results::stamp_seconds(stamp)),
                      "a record whose time is not a finite number");
        fuzz::require(std::visit([](const auto& kind) { return finite_values(kind); }, record),
                      "a record with a value beyond the range of a real");
        fuzz::require(std::visit([](const auto& kind) { return drawn_again(kind); }, record),
                      "a drawn record written back is not drawn as the same record");
    });
    fuzz::require(!open_error, "the log did not open for the second pass");
    fuzz::require(span.has_records || records == 0,
                  "records drawn from a log whose span found none");
    if (span.has_records) {
        fuzz::require(results::day_start_seconds(span.beginning) == span.first_day_start &&
                          results::day_start_seconds(span.end) == span.latest_day_start,
                      "the span's dates are not its first and latest days");
    }
    return 0;
}
