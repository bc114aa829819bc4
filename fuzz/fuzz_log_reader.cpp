// The two passes of the progress graph over an arbitrary results log: the span of days, then
// the entries. Every entry of the second pass must fall on a day inside the span of the first;
// the first pass also counts lines of other kinds, so it may find records where the second
// draws none.
#include <cmath>
#include <cstdint>

#include "fuzz_input.h"
#include "results/log_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::write_input(results::k_log_file, fuzz::as_text(data, size));

    const results::LogSpan span = results::scan_log_span(path);
    fuzz::require(span.opened, "the log did not open");

    int64_t entries = 0;
    const auto open_error = results::read_log(path, [&](const results::LogEntry& entry) {
        ++entries;
        const double day_start = results::day_start_seconds(entry.stamp);
        fuzz::require(span.has_records, "an entry in a log whose span found none");
        fuzz::require(day_start >= span.first_day_start && day_start <= span.latest_day_start,
                      "an entry outside the span of days");
        // An hour, minute or second beyond its usual range is the number it holds, so the time
        // may leave its day, but it stays a finite number.
        fuzz::require(std::isfinite(results::stamp_seconds(entry.stamp)),
                      "an entry whose time is not a finite number");
        // Every number the graph plots is a finite real; only an unanswered run's time is NaN.
        fuzz::require(std::isfinite(entry.distance) && std::isfinite(entry.acuity) &&
                          !std::isinf(entry.average_time),
                      "an entry with a value beyond the range of a real");
    });
    fuzz::require(!open_error, "the log did not open for the second pass");
    fuzz::require(span.has_records || entries == 0,
                  "entries drawn from a log whose span found none");
    if (span.has_records) {
        fuzz::require(results::day_start_seconds(span.beginning) == span.first_day_start &&
                          results::day_start_seconds(span.end) == span.latest_day_start,
                      "the span's dates are not its first and latest days");
    }
    return 0;
}
