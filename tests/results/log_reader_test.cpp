#include "results/log_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "log_lines.h"
#include "program_fixture.h"
#include "results/date_time.h"
#include "results/log_layout.h"

namespace {

using results::LogEntry;
using results::RecordKind;
using results::TimeStamp;
using results_test::log_text;
using results_test::sight_line;
using results_test::training_line;

// `line` with `text` written over it from 1-based `column` on.
std::string overwritten(std::string line, size_t column, const std::string& text) {
    line.replace(column - 1, text.size(), text);
    return line;
}

const TimeStamp k_stamp{5, 3, 2010, 14, 7, 9};

GTEST_TEST(ParseLogLine, ReadsBackWhatTheWritersWrote) {
    struct Case {
        const char* what;
        std::string line;
        LogEntry expected;
    };
    const Case cases[] = {
        {"sight check",
         sight_line({1, 2, 2011, 9, 5, 3}, 0.8f, 60.0f),
         {{1, 2, 2011, 9, 5, 3}, RecordKind::sight_check, 60.0f, 0.8f, 0, 0, 0.0f, 0}},
        {"training",
         training_line(k_stamp, 200.0f, 4, 100, 1.23f, 15),
         {k_stamp, RecordKind::training, 200.0f, 0.0f, 4, 100, 1.23f, 15}},
        {"an average time of 10000 s or more keeps its first digit",
         training_line(k_stamp, 200.0f, 4, 100, 12345.67f, 15),
         {k_stamp, RecordKind::training, 200.0f, 0.0f, 4, 100, 12345.67f, 15}},
        {"a leap day",
         sight_line({29, 2, 2000, 0, 0, 0}, 1.25f),
         {{29, 2, 2000, 0, 0, 0}, RecordKind::sight_check, 200.0f, 1.25f, 0, 0, 0.0f, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto entry = results::parse_log_line(c.line);
        ASSERT_TRUE(entry.has_value());
        const TimeStamp& stamp = entry->stamp;
        const TimeStamp& expected = c.expected.stamp;
        EXPECT_EQ(stamp.day, expected.day);
        EXPECT_EQ(stamp.month, expected.month);
        EXPECT_EQ(stamp.year, expected.year);
        EXPECT_EQ(stamp.hour, expected.hour);
        EXPECT_EQ(stamp.minute, expected.minute);
        EXPECT_EQ(stamp.second, expected.second);
        EXPECT_EQ(entry->kind, c.expected.kind);
        EXPECT_FLOAT_EQ(entry->distance, c.expected.distance);
        EXPECT_FLOAT_EQ(entry->acuity, c.expected.acuity);
        EXPECT_EQ(entry->size, c.expected.size);
        EXPECT_EQ(entry->presented, c.expected.presented);
        EXPECT_FLOAT_EQ(entry->average_time, c.expected.average_time);
        EXPECT_EQ(entry->push_ups, c.expected.push_ups);
    }
}

GTEST_TEST(ParseLogLine, AnAverageTimeOfNaNReadsAsNotANumber) {
    const auto entry = results::parse_log_line(training_line(k_stamp, 200.0f, 5, 50, NAN, 50));
    ASSERT_TRUE(entry.has_value());
    EXPECT_TRUE(std::isnan(entry->average_time));
    EXPECT_EQ(entry->presented, 50);
    EXPECT_EQ(entry->push_ups, 50);
}

GTEST_TEST(ParseLogLine, LinesThatCannotBeUsed) {
    const std::string training = training_line(k_stamp, 200.0f, 4, 100, 1.23f, 15);
    const std::string sight = sight_line(k_stamp, 0.8f);
    struct Case {
        const char* what;
        std::string line;
    };
    const Case cases[] = {
        {"a blank line (day, month and year 0)", ""},
        {"a line of blanks", std::string(115, ' ')},
        {"the header", results::log_header()},
        {"a distance too large for its field", training_line(k_stamp, 1e6f, 4, 100, 1.23f, 15)},
        {"an acuity too large for its field", sight_line(k_stamp, 12.0f)},
        {"a count too large for its field", training_line(k_stamp, 200.0f, 4, 100, 1.23f, 10000)},
        {"letters in the day", overwritten(training, 2, "ab")},
        {"letters in the average time", overwritten(training, 96, "    abcd")},
        {"a second point in the distance", overwritten(sight, 37, "  2.0.0")},
        {"a distance beyond the range of a real", overwritten(sight, 37, "   1+99")},
        {"an acuity beyond the range of a real", overwritten(sight, 77, "1+40")},
        {"an average time beyond the range of a real", overwritten(training, 96, "   9E+99")},
        {"31 February", overwritten(sight, 2, "31.02")},
        {"29 February of a common year", overwritten(sight, 2, "29.02.2100")},
        {"month 13", overwritten(sight, 5, "13")},
        {"day 0", overwritten(sight, 2, "00")},
        {"year 0", overwritten(sight, 8, "   0")},
        {"neither kind in columns 48-49", overwritten(sight, 48, "dd")},
        {"the date alone", training.substr(0, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(results::parse_log_line(c.line).has_value()) << c.line;
    }
}

GTEST_TEST(ParseLogLine, TimesBeyondTheirUsualRangeAreTheNumbersTheyHold) {
    const std::string sight = sight_line(k_stamp, 0.8f);
    const std::optional<LogEntry> entry =
        results::parse_log_line(overwritten(overwritten(sight, 16, "25"), 22, "75"));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->stamp.hour, 25);
    EXPECT_EQ(entry->stamp.minute, 75);
    EXPECT_EQ(entry->stamp.second, 9);
    // 25 h 75 min 9 s after the day began: 1 h 15 min 9 s into the next day.
    EXPECT_EQ(results::stamp_seconds(entry->stamp),
              results::day_start_seconds(k_stamp) + 25 * 3600 + 75 * 60 + 9);
    const std::optional<TimeStamp> stamp = results::parse_log_stamp(overwritten(sight, 28, "99"));
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->second, 99);
}

// A working folder that holds a log.
class LogFileTest : public ::testing::Test {
  protected:
    std::vector<LogEntry> entries(const std::string& text) {
        folder.write(results::k_log_file, text);
        std::vector<LogEntry> read;
        error = results::read_log(results::k_log_file,
                                  [&read](const LogEntry& entry) { read.push_back(entry); });
        return read;
    }

    testing_support::WorkingFolder folder;
    std::optional<textio::IoErrorKind> error;
};

GTEST_TEST_F(LogFileTest, StreamsTheUsableRecordsInFileOrder) {
    const std::string first = sight_line({1, 3, 2010, 9, 30, 0}, 0.5f);
    const std::string second = training_line({2, 3, 2010, 10, 0, 0}, 200.0f, 4, 100, 1.0f, 5);
    const std::string third = sight_line({28, 2, 2010, 8, 0, 0}, 0.6f);
    // A lone CR also ends a line, a last line needs no line end, and a line is read to
    // 120 characters whatever follows.
    const std::string text = results::log_header() + "\r\n" + first + "\r\n\r\n" +
                             std::string(40, '*') + "\r\n" + second + std::string(300, 'x') + "\r" +
                             third;

    const std::vector<LogEntry> read = entries(text);
    EXPECT_FALSE(error.has_value());
    ASSERT_EQ(read.size(), 3u);
    EXPECT_FLOAT_EQ(read[0].acuity, 0.5f);
    EXPECT_EQ(read[1].kind, RecordKind::training);
    EXPECT_EQ(read[1].push_ups, 5);
    EXPECT_EQ(read[2].stamp.day, 28);
}

GTEST_TEST_F(LogFileTest, TheFirstLineIsNeverARecord) {
    EXPECT_TRUE(entries(sight_line(k_stamp, 0.5f) + "\r\n").empty());
    EXPECT_TRUE(entries("").empty());
    EXPECT_FALSE(error.has_value());
}

GTEST_TEST_F(LogFileTest, AMissingLogIsReportedNotRead) {
    int calls = 0;
    const auto open_error =
        results::read_log(results::k_log_file, [&calls](const LogEntry&) { ++calls; });
    EXPECT_EQ(open_error, textio::IoErrorKind::file_not_found);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(results::scan_log_span(results::k_log_file).opened);
}

GTEST_TEST_F(LogFileTest, SpanRunsFromTheEarliestToTheLatestDate) {
    struct Case {
        const char* what;
        std::string log;
        TimeStamp beginning, end;
    };
    const Case cases[] = {
        {"one record",
         log_text({sight_line({5, 3, 2010, 9, 30, 0}, 0.8f)}),
         {5, 3, 2010, 9, 30, 0},
         {5, 3, 2010, 9, 30, 0}},
        {"out of order: the earliest and latest dates wherever they stand",
         log_text(
             {sight_line({2, 3, 2010, 12, 0, 0}, 0.8f), sight_line({1, 3, 2010, 10, 0, 0}, 0.8f),
              sight_line({4, 3, 2010, 7, 0, 0}, 0.8f), sight_line({1, 3, 2010, 8, 0, 0}, 0.8f)}),
         {1, 3, 2010, 10, 0, 0},
         {4, 3, 2010, 7, 0, 0}},
        {"on the latest date, the first in the file stands for it",
         log_text({sight_line({1, 3, 2010, 10, 0, 0}, 0.8f),
                   training_line({4, 3, 2010, 10, 5, 0}, 200.0f, 4, 100, 1.0f, 5),
                   training_line({4, 3, 2010, 18, 40, 0}, 200.0f, 4, 100, 1.0f, 5)}),
         {1, 3, 2010, 10, 0, 0},
         {4, 3, 2010, 10, 5, 0}},
        {"lines whose date or time do not read do not stretch the span",
         log_text({"", sight_line({2, 3, 2010, 12, 0, 0}, 0.8f),
                   overwritten(sight_line({1, 3, 2010, 12, 0, 0}, 0.8f), 2, "31.02"),
                   overwritten(sight_line({9, 3, 2010, 12, 0, 0}, 0.8f), 28, "**"),
                   overwritten(sight_line({9, 3, 2010, 12, 0, 0}, 0.8f), 8, "20x0")}),
         {2, 3, 2010, 12, 0, 0},
         {2, 3, 2010, 12, 0, 0}},
        {"a record whose later fields do not read counts with its date and time",
         log_text({training_line({5, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5),
                   overwritten(sight_line({1, 3, 2010, 8, 15, 0}, 0.8f), 48, "xx"),
                   overwritten(training_line({12, 3, 2010, 9, 40, 0}, 200.0f, 4, 100, 1.0f, 5), 37,
                               "*******")}),
         {1, 3, 2010, 8, 15, 0},
         {12, 3, 2010, 9, 40, 0}},
        {"a line of neither kind counts with its date and time",
         log_text({sight_line({2, 3, 2010, 12, 0, 0}, 0.8f),
                   overwritten(sight_line({28, 2, 2010, 8, 15, 0}, 0.8f), 48, "dd"),
                   overwritten(sight_line({7, 3, 2010, 23, 5, 0}, 0.8f), 48, "  ")}),
         {28, 2, 2010, 8, 15, 0},
         {7, 3, 2010, 23, 5, 0}},
        {"an hour beyond 23 is read as it stands",
         log_text({sight_line({2, 3, 2010, 12, 0, 0}, 0.8f),
                   overwritten(sight_line({1, 3, 2010, 0, 70, 0}, 0.8f), 16, "31")}),
         {1, 3, 2010, 31, 70, 0},
         {2, 3, 2010, 12, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write(results::k_log_file, c.log);
        const results::LogSpan span = results::scan_log_span(results::k_log_file);
        ASSERT_TRUE(span.has_records);
        EXPECT_EQ(span.first_day_start,
                  86400.0 * results::NDAYS(c.beginning.day, c.beginning.month, c.beginning.year));
        EXPECT_EQ(span.end_seconds(),
                  86400.0 * (results::NDAYS(c.end.day, c.end.month, c.end.year) + 1));
        EXPECT_EQ(span.beginning.day, c.beginning.day);
        EXPECT_EQ(span.beginning.hour, c.beginning.hour);
        EXPECT_EQ(span.beginning.minute, c.beginning.minute);
        EXPECT_EQ(span.end.day, c.end.day);
        EXPECT_EQ(span.end.hour, c.end.hour);
        EXPECT_EQ(span.end.minute, c.end.minute);
    }
}

// The first pass reads the date and time fields alone: a record that the drawing skips, because
// a value was written as asterisks or the line was cut short, still sets the span's last day.
GTEST_TEST_F(LogFileTest, EveryLineWhoseDateAndTimeReadStretchesTheSpan) {
    namespace layout = results::log_layout;
    const TimeStamp first{5, 3, 2010, 12, 0, 0};
    const TimeStamp last{12, 3, 2010, 9, 40, 7};
    const std::string sight = sight_line(last, 0.8f);
    const std::string training = training_line(last, 200.0f, 4, 100, 1.0f, 5);
    const auto stars = [](const std::string& line, const textio::Field& field) {
        return overwritten(line, static_cast<size_t>(field.column),
                           std::string(static_cast<size_t>(field.descriptor.width), '*'));
    };
    struct Case {
        std::string what;
        std::string line;
        int second;  // as the pass reads it
    };
    std::vector<Case> cases;
    // Each value field that the drawing reads.
    for (const textio::Field& field : {layout::distance, layout::acuity})
        cases.push_back(
            {std::string("sight check, asterisks in ").append(field.name), stars(sight, field), 7});
    for (const textio::Field& field : {layout::distance, layout::size, layout::presented,
                                       layout::average_time, layout::push_ups})
        cases.push_back(
            {std::string("training, asterisks in ").append(field.name), stars(training, field), 7});
    cases.push_back({"sight check cut after its time", sight.substr(0, 29), 7});
    cases.push_back({"training cut after its time", training.substr(0, 29), 7});
    cases.push_back({"training cut within its kind mark", training.substr(0, 48), 7});
    cases.push_back(
        {"cut inside the seconds field: the rest reads as blank", training.substr(0, 28), 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write(results::k_log_file,
                     log_text({training_line(first, 200.0f, 4, 100, 1.0f, 5), c.line}));
        EXPECT_FALSE(results::parse_log_line(c.line).has_value()) << "the drawing skips it";
        const auto stamp = results::parse_log_stamp(c.line);
        ASSERT_TRUE(stamp.has_value());
        EXPECT_EQ(stamp->second, c.second);
        const results::LogSpan span = results::scan_log_span(results::k_log_file);
        ASSERT_TRUE(span.has_records);
        EXPECT_EQ(span.first_day_start, 86400.0 * results::NDAYS(5, 3, 2010));
        EXPECT_EQ(span.end_seconds(), 86400.0 * (results::NDAYS(12, 3, 2010) + 1));
        EXPECT_EQ(span.end.day, 12);
        EXPECT_EQ(span.end.hour, 9);
        EXPECT_EQ(span.end.minute, 40);
    }
}

GTEST_TEST_F(LogFileTest, ALogWithoutUsableRecordsHasNoSpan) {
    folder.write(results::k_log_file, log_text({"", std::string(80, '*')}));
    const results::LogSpan span = results::scan_log_span(results::k_log_file);
    EXPECT_TRUE(span.opened);
    EXPECT_FALSE(span.has_records);
}

}  // namespace
