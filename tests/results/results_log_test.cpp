#include "results/results_log.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "results/log_layout.h"
#include "state/shared_state.h"
#include "textio/fields.h"
#include "textio/file_sync.h"
#include "textio/io_error.h"
#include "textio/layout.h"

namespace {

using results::SightCheckRecord;
using results::TimeStamp;
using results::TrainingRecord;

GTEST_TEST(LogHeader, HasItsWordsAtTheirColumnsAndBlanksElsewhere) {
    const std::string header = results::log_header();
    EXPECT_EQ(header,
              "     Date             Time         Distance     MeasureNpresent Ntrue_ans Nerrors "
              "Nno_ans  Av.tim.ans    Npush-ups ");
    EXPECT_EQ(header.size(), 115u);
}

TrainingRecord training(TimeStamp stamp, float DIST, int32_t Is, int32_t NVOL, int32_t NTRUE,
                        int32_t NERR, int32_t NNOANS, float TAV, int32_t NPUP) {
    return TrainingRecord{stamp, DIST, Is, NVOL, NTRUE, NERR, NNOANS, TAV, NPUP};
}

GTEST_TEST(RecordLayout, TrainingRecordsByteForByte) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        TrainingRecord record;
        const char* line;
    };
    const Case cases[] = {
        {"a run that ended on 5 March 2010 at 14:07:09",
         training({5, 3, 2010, 14, 7, 9}, 200.0f, 4, 100, 95, 3, 2, 1.23f, 15),
         " 05.03.2010.,  14hour 7min  9sec, D=  200.0cm  Is=   4  Np= 100 Nt=  95 Ner=   3 "
         "Nna=   2 t_av=    1.23s  Npup=  15"},
        {"nothing answered: the average is NaN, right-justified",
         training({1, 2, 2011, 9, 5, 3}, 60.0f, 5, 50, 0, 0, 50, nan, 50),
         " 01.02.2011.,   9hour 5min  3sec, D=   60.0cm  Is=   5  Np=  50 Nt=   0 Ner=   0 "
         "Nna=  50 t_av=     NaNs  Npup=  50"},
        {"the largest values that fit",
         training({31, 12, 2010, 23, 59, 59}, 99999.9f, 9999, 9999, 9999, 9999, 9999, 99999.99f,
                  9999),
         " 31.12.2010.,  23hour59min 59sec, D=99999.9cm  Is=9999  Np=9999 Nt=9999 Ner=9999 "
         "Nna=9999 t_av=99999.99s  Npup=9999"},
        {"values too large for their fields become asterisks",
         training({31, 12, 2010, 23, 59, 59}, 100000.0f, 10000, 10000, 10000, 10000, 10000,
                  100000.0f, 10000),
         " 31.12.2010.,  23hour59min 59sec, D=*******cm  Is=****  Np=**** Nt=**** Ner=**** "
         "Nna=**** t_av=********s  Npup=****"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string line = results::format_record(c.record);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 115u);
    }
}

GTEST_TEST(RecordLayout, SightCheckRecordsByteForByte) {
    struct Case {
        const char* what;
        SightCheckRecord record;
        const char* line;
    };
    const Case cases[] = {
        {"9 h 5 min 3 s on 1 February: leading zeros in the date, blanks in the time; "
         "an acuity of 0.8 keeps its 0",
         {{1, 2, 2011, 9, 5, 3}, 60.0f, 15.6f, 1080, 1920, 0.8f},
         " 01.02.2011.,   9hour 5min  3sec, D=   60.0cm  DD=15.6  ny=1080 nx=1920 AOV=0.80"},
        {"values too large for their fields become asterisks",
         {{31, 12, 2010, 23, 59, 59}, 100000.0f, 100.0f, 10000, 10000, 10.0f},
         " 31.12.2010.,  23hour59min 59sec, D=*******cm  DD=****  ny=**** nx=**** AOV=****"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string line = results::format_record(c.record);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 80u);
    }
}

// Reads every value field of a record's table back from the line the writer made, by the
// field's own column and descriptor, and compares it with the value named.
template <class Record>
void expect_fields_read_back(std::span<const results::log_layout::BoundField<Record>> table,
                             const std::string& line,
                             const std::map<std::string_view, double>& values) {
    std::size_t checked = 0;
    for (const auto& bound : table) {
        const textio::Field& field = bound.field;
        if (!field.holds_value()) continue;
        SCOPED_TRACE(std::string(field.name));
        ASSERT_TRUE(values.contains(field.name));
        const std::string text = textio::text_at(line, field);
        const std::optional<double> read =
            field.descriptor.kind == textio::Descriptor::Kind::integer
                ? std::optional<double>(textio::read_int32(text))
                : std::optional<double>(textio::read_float(text, field.descriptor.digits));
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_FLOAT_EQ(static_cast<float>(*read), static_cast<float>(values.at(field.name)));
        ++checked;
    }
    EXPECT_EQ(checked, values.size()) << "every value is written in a field of its own";
}

GTEST_TEST(RecordLayout, EveryFieldOfBothRecordsReadsBackFromItsOwnColumns) {
    // Values that differ from field to field, so a value written in another field's place is
    // seen.
    const TimeStamp stamp{28, 2, 2012, 13, 47, 59};
    const std::map<std::string_view, double> stamp_values = {
        {"day", 28}, {"month", 2}, {"year", 2012}, {"hour", 13}, {"minute", 47}, {"second", 59}};

    const SightCheckRecord sight{stamp, 123.4f, 15.6f, 1080, 1920, 0.75f};
    std::map<std::string_view, double> sight_values = stamp_values;
    sight_values.insert({{"D", 123.4}, {"DD", 15.6}, {"ny", 1080}, {"nx", 1920}, {"AOV", 0.75}});
    {
        SCOPED_TRACE("sight check");
        expect_fields_read_back(results::log_layout::table_of<SightCheckRecord>(),
                                results::format_record(sight), sight_values);
    }

    const TrainingRecord run = training(stamp, 123.4f, 7, 150, 141, 6, 3, 2.37f, 15);
    std::map<std::string_view, double> run_values = stamp_values;
    run_values.insert({{"D", 123.4},
                       {"Is", 7},
                       {"Np", 150},
                       {"Nt", 141},
                       {"Ner", 6},
                       {"Nna", 3},
                       {"t_av", 2.37},
                       {"Npup", 15}});
    {
        SCOPED_TRACE("training");
        expect_fields_read_back(results::log_layout::table_of<TrainingRecord>(),
                                results::format_record(run), run_values);
    }
}

// A working folder, the parameters of the dialog and a clock at 5 March 2010, 14:07:09.
class LogAppendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing_support::reset_program_state();
        state::run().parameters.DIST = 200.0f;
        state::run().parameters.DIAG = 15.6f;
        state::run().parameters.NX = 1920;
        state::run().parameters.NY = 1080;
        canvas.set_date({2010, 3, 5});
        canvas.set_time({14, 7, 9, 0});
    }

    std::string log() const { return folder.read(results::k_log_file); }

    testing_support::WorkingFolder folder;
    gfx::HeadlessPlatform canvas;
    const TrainingRecord counts =
        training({}, 0.0f, 4, 100, 95, 3, 2, 1.23f, 15);  // stamp and distance left to append
    const std::string training_line =
        " 05.03.2010.,  14hour 7min  9sec, D=  200.0cm  Is=   4  Np= 100 Nt=  95 Ner=   3 "
        "Nna=   2 t_av=    1.23s  Npup=  15";
    const std::string sight_line =
        " 05.03.2010.,  14hour 7min  9sec, D=  200.0cm  DD=15.6  ny=1080 nx=1920 AOV=1.25";
};

GTEST_TEST_F(LogAppendTest, TheFirstRecordCreatesTheFileWithTheHeaderLaterOnesAppend) {
    results::append_training(canvas.canvas(), counts);
    results::append_sight_check(canvas.canvas(), 1.25f);
    results::append_sight_check(canvas.canvas(), 1.25f);  // same second: an identical line, kept

    EXPECT_EQ(log(), results::log_header() + "\r\n" + training_line + "\r\n" + sight_line + "\r\n" +
                         sight_line + "\r\n");
}

GTEST_TEST_F(LogAppendTest, StampsWithTheClockAndTheCurrentDistance) {
    canvas.set_date({2011, 2, 1});
    canvas.set_time({9, 5, 3, 50});
    state::run().parameters.DIST = 60.0f;
    results::append_sight_check(canvas.canvas(), 0.8f);

    EXPECT_EQ(log(), results::log_header() + "\r\n" +
                         " 01.02.2011.,   9hour 5min  3sec, D=   60.0cm  DD=15.6  ny=1080 "
                         "nx=1920 AOV=0.80\r\n");
}

GTEST_TEST_F(LogAppendTest, AnExistingEmptyFileGetsNoHeader) {
    folder.write(results::k_log_file, "");
    results::append_training(canvas.canvas(), counts);
    EXPECT_EQ(log(), training_line + "\r\n");
}

GTEST_TEST_F(LogAppendTest, AFailureToWriteIsTheFatalReportOfTheLogFile) {
    // A folder in the log's place cannot be opened for appending, even by the superuser.
    std::filesystem::create_directory(folder.path() / results::k_log_file);
    try {
        results::append_sight_check(canvas.canvas(), 1.0f);
        FAIL() << "the append did not report its failure";
    } catch (const textio::IoError& error) {
        EXPECT_EQ(error.unit(), results::k_log_unit);
        EXPECT_EQ(error.file(), results::k_log_file);
    }
}

GTEST_TEST_F(LogAppendTest, ARecordThatCannotBeSyncedIsTheFatalReportAndIsTakenBack) {
    const std::string before = results::log_header() + "\r\n" + sight_line + "\r\n";
    folder.write(results::k_log_file, before);
    const textio::ScopedSyncCall failing_disk([](int, textio::SyncTarget) { return EIO; });
    try {
        results::append_training(canvas.canvas(), counts);
        FAIL() << "the append did not report its failure";
    } catch (const textio::IoError& error) {
        EXPECT_EQ(error.kind(), textio::IoErrorKind::write_error);
        EXPECT_EQ(error.unit(), results::k_log_unit);
        EXPECT_EQ(error.file(), results::k_log_file);
    }
    EXPECT_EQ(log(), before);
}

}  // namespace
