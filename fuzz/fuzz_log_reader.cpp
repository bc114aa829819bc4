// The two passes of the progress graph over an arbitrary results log: the span of days, then
// the entries. Every entry of the second pass must fall inside the span of the first.
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
        const double seconds = results::stamp_seconds(entry.stamp);
        fuzz::require(seconds >= day_start && seconds < day_start + results::k_seconds_per_day,
                      "a time of day outside its day");
        // Every number the graph plots is a finite real; only an unanswered run's time is NaN.
        fuzz::require(std::isfinite(entry.distance) && std::isfinite(entry.acuity) &&
                          !std::isinf(entry.average_time),
                      "an entry with a value beyond the range of a real");
    });
    fuzz::require(!open_error, "the log did not open for the second pass");
    fuzz::require(span.has_records == (entries > 0), "the passes disagree on having records");
    if (span.has_records) {
        fuzz::require(results::day_start_seconds(span.beginning) == span.first_day_start &&
                          results::day_start_seconds(span.end) == span.latest_day_start,
                      "the span's dates are not its first and latest days");
    }
    return 0;
}
