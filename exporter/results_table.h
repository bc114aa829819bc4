#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/results_log.h"
#include "textio/io_error.h"

// The results log as a table of comma-separated values (RFC 4180): a header row, then one row
// per record that the progress graph draws, in file order.
namespace exporter {

// date_time,kind,distance_cm,diagonal_in,ny,nx,acuity,figure_size,presentations,right,wrong,
// unanswered,average_answer_s,push_ups
std::string csv_header();

// The row of one line of the log (not the header), or nothing when the graph does not draw the
// line. A value is the field's text without its blanks; it is empty where the record's kind has
// no such field, where the field does not read as a number (asterisks for a value too large),
// and for the average time of a run without answers.
std::optional<std::string> csv_row(std::string_view log_line);

// ISO 8601 local date and time of a stamp, 2026-03-02T14:07:09. An hour, minute or second
// beyond its usual range moves the moment on, as on the graph's time axis.
std::string iso_date_time(const results::TimeStamp& stamp);

struct ResultsTable {
    std::vector<std::string> rows;  // the header first; without line ends
    int skipped = 0;                // lines that are not blank and that the graph does not draw
};

struct ReadResults {
    std::optional<ResultsTable> table;
    textio::IoErrorKind error = textio::IoErrorKind::open_failure;  // when there is no table
};

// Reads the whole log at `path`; no table when it cannot be opened or read to its end.
ReadResults read_results_table(const std::string& path);

}  // namespace exporter
