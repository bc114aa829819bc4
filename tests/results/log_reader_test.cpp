#include "results/log_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "log_lines.h"
#include "program_fixture.h"
#include "results/date_time.h"
#include "results/log_layout.h"
#include "textio/layout.h"

namespace {

using results::LogRecord;
using results::RecordLine;
using results::SightCheckRecord;
using results::TimeStamp;
using results::TrainingRecord;
using results_test::log_text;
using results_test::sight_line;
using results_test::training_line;

// `line` with `text` written over it from 1-based `column` on.
std::string overwritten(std::string line, size_t column, const std::string& text) {
    line.replace(column - 1, text.size(), text);
    return line;
}

const TimeStamp k_stamp{5, 3, 2010, 14, 7, 9};

void expect_same_stamp(const TimeStamp& stamp, const TimeStamp& expected) {
    EXPECT_EQ(stamp.day, expected.day);
    EXPECT_EQ(stamp.month, expected.month);
    EXPECT_EQ(stamp.year, expected.year);
    EXPECT_EQ(stamp.hour, expected.hour);
    EXPECT_EQ(stamp.minute, expected.minute);
    EXPECT_EQ(stamp.second, expected.second);
}

// Every member of the two records, of the same kind; a NaN average matches a NaN.
void expect_same_record(const LogRecord& record, const LogRecord& expected) {
    ASSERT_EQ(record.index(), expected.index()) << "the record's kind";
    expect_same_stamp(results::stamp_of(record), results::stamp_of(expected));
    if (const auto* sight = std::get_if<SightCheckRecord>(&expected)) {
        const auto& read = std::get<SightCheckRecord>(record);
        EXPECT_FLOAT_EQ(read.DIST, sight->DIST);
        EXPECT_FLOAT_EQ(read.DIAG, sight->DIAG);
        EXPECT_EQ(read.NY, sight->NY);
        EXPECT_EQ(read.NX, sight->NX);
        EXPECT_FLOAT_EQ(read.AOV, sight->AOV);
    } else {
        const auto& run = std::get<TrainingRecord>(expected);
        const auto& read = std::get<TrainingRecord>(record);
        EXPECT_FLOAT_EQ(read.DIST, run.DIST);
        EXPECT_EQ(read.Is, run.Is);
        EXPECT_EQ(read.NVOL, run.NVOL);
        EXPECT_EQ(read.NTRUE, run.NTRUE);
        EXPECT_EQ(read.NERR, run.NERR);
        EXPECT_EQ(read.NNOANS, run.NNOANS);
        if (std::isnan(run.TAV)) {
            EXPECT_TRUE(std::isnan(read.TAV)) << read.TAV;
        } else {
            EXPECT_FLOAT_EQ(read.TAV, run.TAV);
        }
        EXPECT_EQ(read.NPUP, run.NPUP);
    }
}

std::string line_of(const LogRecord& record) {
    return std::visit([](const auto& kind) { return results::format_record(kind); }, record);
}

// Each record written by the log's writer and read back: every field, of both kinds, in full.
GTEST_TEST(ReadRecord, ReadsBackEveryFieldTheWritersWrote) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        LogRecord record;
    };
    // Values that differ from field to field, so a value read from another field's place shows.
    const Case cases[] = {
        {"sight check", SightCheckRecord{{1, 2, 2011, 9, 5, 3}, 60.0f, 15.6f, 1080, 1920, 0.8f}},
        {"training", TrainingRecord{k_stamp, 200.0f, 4, 100, 95, 3, 2, 1.23f, 15}},
        {"an average time of 10000 s or more keeps its first digit",
         TrainingRecord{k_stamp, 200.0f, 4, 100, 95, 3, 2, 12345.67f, 15}},
        {"nothing answered: the average reads as not a number",
         TrainingRecord{k_stamp, 120.5f, 7, 50, 0, 0, 50, nan, 50}},
        {"a leap day", SightCheckRecord{{29, 2, 2000, 0, 0, 0}, 200.0f, 21.5f, 768, 1024, 1.25f}},
        {"the first day of a year",
         SightCheckRecord{{1, 1, 2011, 0, 0, 0}, 80.0f, 17.0f, 900, 1440, 0.1f}},
        {"the first day of a year, training",
         TrainingRecord{{1, 1, 2011, 23, 59, 59}, 150.0f, 9, 30, 10, 11, 9, 0.42f, 31}},
        {"the last day of a year",
         TrainingRecord{
             {31, 12, 2010, 23, 59, 59}, 99999.9f, 9999, 9998, 9997, 9996, 9995, 99999.99f, 9994}},
        {"the last day of a year, sight check",
         SightCheckRecord{{31, 12, 2010, 12, 30, 0}, 500.0f, 99.9f, 9999, 9998, 2.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string line = line_of(c.record);
        const std::optional<RecordLine> read = results::read_record(line);
        ASSERT_TRUE(read.has_value());
        expect_same_record(read->record, c.record);
        EXPECT_TRUE(read->unreadable.empty()) << read->unreadable.front();
        EXPECT_TRUE(read->drawable());

        const std::optional<LogRecord> drawn = results::parse_log_line(line);
        ASSERT_TRUE(drawn.has_value()) << "the graph draws it";
        expect_same_record(*drawn, c.record);
        const std::optional<TimeStamp> stamp = results::parse_log_stamp(line);
        ASSERT_TRUE(stamp.has_value()) << "the first pass counts it";
        expect_same_stamp(*stamp, results::stamp_of(c.record));
    }
}

GTEST_TEST(ParseLogLine, LinesThatCannotBeUsed) {
    const std::string training = training_line(k_stamp, 200.0f, 4, 100, 1.23f, 15);
    const std::string sight = sight_line(k_stamp, 0.8f);
    struct Case {
        std::string what;
        std::string line;
    };
    std::vector<Case> cases = {
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
        {"month 0", overwritten(sight, 5, "00")},
        {"day 0", overwritten(sight, 2, "00")},
        {"32 January", overwritten(sight, 2, "32.01")},
        {"year 0", overwritten(sight, 8, "   0")},
        {"neither kind in columns 48-49", overwritten(sight, 48, "dd")},
        {"the date alone", training.substr(0, 30)},
        {"a sight check one character short", sight.substr(0, 79)},
        {"a training one character short", training.substr(0, 114)},
    };
    // Cut around the kind mark in columns 48-49: before it, within it and just after it.
    for (std::size_t length = 40; length <= 49; ++length) {
        cases.push_back({"sight check cut to " + std::to_string(length), sight.substr(0, length)});
        cases.push_back({"training cut to " + std::to_string(length), training.substr(0, length)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NO_THROW(EXPECT_FALSE(results::parse_log_line(c.line).has_value()) << c.line);
    }
}

// A field that the graph does not plot may not read: the record is still drawn, its member is
// 0 and the field is named. A field the graph plots that does not read keeps it from the graph.
GTEST_TEST(ReadRecord, NamesTheFieldsThatDoNotReadAndDrawsWithoutTheUnplottedOnes) {
    namespace layout = results::log_layout;
    const std::string sight = sight_line(k_stamp, 0.8f);
    const std::string training = training_line(k_stamp, 200.0f, 4, 100, 1.23f, 15);
    struct Case {
        const char* line_kind;
        const std::string& line;
        textio::Field field;
        bool drawn;
    };
    const Case cases[] = {
        {"sight check", sight, layout::diagonal, true},
        {"sight check", sight, layout::ny, true},
        {"sight check", sight, layout::nx, true},
        {"sight check", sight, layout::distance, false},
        {"sight check", sight, layout::acuity, false},
        {"sight check", sight, layout::day, false},
        {"sight check", sight, layout::second, false},
        {"training", training, layout::true_answers, true},
        {"training", training, layout::errors, true},
        {"training", training, layout::not_answered, true},
        {"training", training, layout::distance, false},
        {"training", training, layout::size, false},
        {"training", training, layout::presented, false},
        {"training", training, layout::average_time, false},
        {"training", training, layout::push_ups, false},
        {"training", training, layout::month, false},
        {"training", training, layout::hour, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line_kind) + ", asterisks in " + std::string(c.field.name));
        const std::string line =
            overwritten(c.line, static_cast<size_t>(c.field.column),
                        std::string(static_cast<size_t>(c.field.width()), '*'));
        const std::optional<RecordLine> read = results::read_record(line);
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->unreadable.size(), 1u);
        EXPECT_EQ(read->unreadable[0], c.field.name);
        EXPECT_FALSE(read->cut_short);
        EXPECT_EQ(read->drawable(), c.drawn);
        EXPECT_EQ(results::parse_log_line(line).has_value(), c.drawn);
    }
    // The member of the field that did not read is 0, the others as written.
    const std::optional<RecordLine> read = results::read_record(overwritten(training, 68, "****"));
    ASSERT_TRUE(read.has_value());
    expect_same_record(read->record, TrainingRecord{k_stamp, 200.0f, 4, 100, 0, 25, 25, 1.23f, 15});
}

GTEST_TEST(ParseLogLine, TimesBeyondTheirUsualRangeAreTheNumbersTheyHold) {
    const std::string sight = sight_line(k_stamp, 0.8f);
    const std::optional<LogRecord> record =
        results::parse_log_line(overwritten(overwritten(sight, 16, "25"), 22, "75"));
    ASSERT_TRUE(record.has_value());
    const TimeStamp& read = results::stamp_of(*record);
    EXPECT_EQ(read.hour, 25);
    EXPECT_EQ(read.minute, 75);
    EXPECT_EQ(read.second, 9);
    // 25 h 75 min 9 s after the day began: 1 h 15 min 9 s into the next day.
    EXPECT_EQ(results::stamp_seconds(read),
              results::day_start_seconds(k_stamp) + 25 * 3600 + 75 * 60 + 9);
    const std::optional<TimeStamp> stamp = results::parse_log_stamp(overwritten(sight, 28, "99"));
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->second, 99);
}

// A working folder that holds a log.
class LogFileTest : public ::testing::Test {
  protected:
    std::vector<LogRecord> entries(const std::string& text) {
        folder.write(results::k_log_file, text);
        std::vector<LogRecord> read;
        error = results::read_log(results::k_log_file,
                                  [&read](const LogRecord& record) { read.push_back(record); });
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

    const std::vector<LogRecord> read = entries(text);
    EXPECT_FALSE(error.has_value());
    ASSERT_EQ(read.size(), 3u);
    ASSERT_TRUE(std::holds_alternative<SightCheckRecord>(read[0]));
    EXPECT_FLOAT_EQ(std::get<SightCheckRecord>(read[0]).AOV, 0.5f);
    ASSERT_TRUE(std::holds_alternative<TrainingRecord>(read[1]));
    EXPECT_EQ(std::get<TrainingRecord>(read[1]).NPUP, 5);
    EXPECT_EQ(results::stamp_of(read[2]).day, 28);
}

GTEST_TEST_F(LogFileTest, EveryRecordOfEitherKindIsReadWithWhatKeepsItFromTheGraph) {
    const std::string sight = sight_line({1, 3, 2010, 9, 30, 0}, 0.5f);
    const std::string training = training_line({2, 3, 2010, 10, 0, 0}, 200.0f, 4, 100, 1.0f, 5);
    folder.write(results::k_log_file,
                 log_text({
                     sight,
                     overwritten(sight, 48, "xx"),          // neither kind: not a record
                     training.substr(0, 100),               // cut short
                     overwritten(training, 68, "****"),     // Nt does not read
                     overwritten(training, 97, "abcdefg"),  // t_av does not read
                     overwritten(sight, 2, "31.04"),        // not a calendar date
                     "",
                 }));
    struct Read {
        std::size_t kind;
        std::vector<std::string_view> unreadable;
        bool calendar_date, cut_short, drawable;
    };
    std::vector<Read> reads;
    const auto error =
        results::read_log_records(results::k_log_file, [&reads](const RecordLine& read) {
            reads.push_back({read.record.index(), read.unreadable, read.calendar_date,
                             read.cut_short, read.drawable()});
        });
    EXPECT_FALSE(error.has_value());
    ASSERT_EQ(reads.size(), 5u);
    constexpr std::size_t sight_kind = 0, training_kind = 1;
    using Names = std::vector<std::string_view>;
    EXPECT_EQ(reads[0].kind, sight_kind);
    EXPECT_TRUE(reads[0].drawable);
    EXPECT_EQ(reads[1].kind, training_kind);
    EXPECT_TRUE(reads[1].cut_short);
    EXPECT_FALSE(reads[1].drawable);
    EXPECT_EQ(reads[2].unreadable, Names{"Nt"});
    EXPECT_TRUE(reads[2].drawable);
    EXPECT_EQ(reads[3].unreadable, Names{"t_av"});
    EXPECT_FALSE(reads[3].drawable);
    EXPECT_EQ(reads[4].kind, sight_kind);
    EXPECT_FALSE(reads[4].calendar_date);
    EXPECT_FALSE(reads[4].drawable);
    // The graph's reading gives the drawable ones alone.
    EXPECT_EQ(entries(folder.read(results::k_log_file)).size(), 2u);
}

GTEST_TEST_F(LogFileTest, TheFirstLineIsNeverARecord) {
    EXPECT_TRUE(entries(sight_line(k_stamp, 0.5f) + "\r\n").empty());
    EXPECT_TRUE(entries("").empty());
    EXPECT_FALSE(error.has_value());
}

GTEST_TEST_F(LogFileTest, AMissingLogIsReportedNotRead) {
    int calls = 0;
    const auto open_error =
        results::read_log(results::k_log_file, [&calls](const LogRecord&) { ++calls; });
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
