#include "exporter/results_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "../results/log_lines.h"
#include "program_fixture.h"
#include "results/date_time.h"
#include "results/results_log.h"
#include "textio/calendar.h"

namespace {

using results::TimeStamp;
using results_test::sight_line;
using results_test::training_line;

// The line with `text` written over its columns from `column` (1-based).
std::string overwritten(std::string line, int column, const std::string& text) {
    line.replace(static_cast<size_t>(column - 1), text.size(), text);
    return line;
}

const TimeStamp k_stamp{2, 3, 2026, 14, 7, 9};

GTEST_TEST(ResultsTable, RowsHoldTheLogTextOfEachKindsFields) {
    struct Case {
        const char* what;
        std::string line;
        std::string row;
    };
    const float no_answers = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"a sight check", sight_line(k_stamp, 0.8f),
         "2026-03-02T14:07:09,sight check,200.0,15.6,1080,1920,0.80,,,,,,,"},
        {"a training run", training_line(k_stamp, 200.0f, 4, 100, 1.23f, 15),
         "2026-03-02T14:07:09,training,200.0,,,,,4,100,50,25,25,1.23,15"},
        {"a run without answers has no average",
         training_line(k_stamp, 150.0f, 2, 10, no_answers, 10),
         "2026-03-02T14:07:09,training,150.0,,,,,2,10,5,2,3,,10"},
        {"asterisks in a field the graph does not read leave it empty",
         overwritten(sight_line(k_stamp, 0.5f), 60, "****"),
         "2026-03-02T14:07:09,sight check,200.0,15.6,,1920,0.50,,,,,,,"},
        {"a count too large for the log is empty",
         overwritten(training_line(k_stamp, 200.0f, 4, 100, 1.5f, 15), 68, "****"),
         "2026-03-02T14:07:09,training,200.0,,,,,4,100,,25,25,1.50,15"},
        {"blanks inside a field go",
         overwritten(training_line(k_stamp, 200.0f, 4, 100, 1.5f, 15), 86, "1  2"),
         "2026-03-02T14:07:09,training,200.0,,,,,4,100,50,25,12,1.50,15"},
        {"an hour beyond the day moves the moment to the next",
         sight_line(TimeStamp{31, 12, 2026, 25, 61, 70}, 0.8f),
         "2027-01-01T02:02:10,sight check,200.0,15.6,1080,1920,0.80,,,,,,,"},
        {"a negative minute moves it back", sight_line(TimeStamp{1, 3, 2024, 0, -1, 0}, 0.8f),
         "2024-02-29T23:59:00,sight check,200.0,15.6,1080,1920,0.80,,,,,,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(exporter::csv_row(c.line), c.row);
    }
}

GTEST_TEST(ResultsTable, LinesTheGraphSkipsHaveNoRow) {
    struct Case {
        const char* what;
        std::string line;
    };
    const std::string training = training_line(k_stamp, 200.0f, 4, 100, 1.5f, 15);
    const Case cases[] = {
        {"asterisks in the acuity", overwritten(sight_line(k_stamp, 0.5f), 77, "****")},
        {"asterisks in the distance", overwritten(training, 37, "*******")},
        {"letters in the push-ups", overwritten(training, 112, "  ab")},
        {"a record cut short", training.substr(0, 100)},
        {"neither kind", overwritten(training, 48, "XX")},
        {"no date", overwritten(training, 2, "00.00.0000")},
        {"a blank line", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(exporter::csv_row(c.line).has_value());
    }
}

GTEST_TEST(ResultsTable, DatesRunOnTheCalendarOfTheDayNumbers) {
    // Every day from 1600 to 2400 at noon, through the leap days of both rules.
    for (int32_t year = 1600; year <= 2400; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            for (int32_t day = 1; day <= textio::days_in_month(month, year); ++day) {
                char expected[32];
                std::snprintf(expected, sizeof expected, "%04d-%02d-%02dT12:00:00", year, month,
                              day);
                const std::string text =
                    exporter::iso_date_time(TimeStamp{day, month, year, 12, 0, 0});
                if (text != expected) {
                    ADD_FAILURE() << text << " for " << expected;
                    return;
                }
            }
        }
    }
}

GTEST_TEST(ResultsTable, ReadsTheRecordsOfALogAndCountsTheLinesSkipped) {
    const testing_support::WorkingFolder folder;
    const std::string bad = overwritten(sight_line(k_stamp, 0.5f), 77, "****");
    folder.write("pelidor.rtr",
                 results_test::log_text({sight_line(k_stamp, 0.7f), bad, "",
                                         training_line(k_stamp, 200, 4, 100, 1.5f, 15)}));
    const exporter::ReadResults read = exporter::read_results_table("pelidor.rtr");
    ASSERT_TRUE(read.table.has_value());
    ASSERT_EQ(read.table->rows.size(), 3u);
    EXPECT_EQ(read.table->rows[0], exporter::csv_header());
    EXPECT_EQ(read.table->rows[1].substr(0, 32), "2026-03-02T14:07:09,sight check,");
    EXPECT_EQ(read.table->rows[2].substr(0, 29), "2026-03-02T14:07:09,training,");
    EXPECT_EQ(read.table->skipped, 1);  // the blank line is no record

    EXPECT_FALSE(exporter::read_results_table("missing.rtr").table.has_value());
    EXPECT_EQ(exporter::read_results_table("missing.rtr").error,
              textio::IoErrorKind::file_not_found);
}

}  // namespace
