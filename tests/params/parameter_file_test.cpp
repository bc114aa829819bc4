#include "params/parameter_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "params/parameter_table.h"
#include "program_fixture.h"

namespace {

using testing_support::WorkingFolder;

const std::string k_default_file =
    "200.000  (distance in centimeters)\r\n"
    " 17.700  (diagonal of display in inches)\r\n"
    "    768  (display resolution, pixels on the Y)\r\n"
    "   1024  (display resolution, pixels on the X)\r\n"
    "    100  (volume of training)\r\n"
    " 50.000  (time for the ansver in seconds)\r\n";

GTEST_TEST(ParameterFileTest, DefaultsAreWrittenAsTheSixExactLines) {
    WorkingFolder folder;
    ASSERT_TRUE(params::write_parameter_file(params::default_parameters()));
    EXPECT_EQ(folder.read("pelidor.vvd"), k_default_file);
}

GTEST_TEST(ParameterFileTest, ReadingKeepsTheLeadingReadableLines) {
    struct Case {
        const char* what;
        std::string contents;
        state::Parameters expected;
    };
    const state::Parameters defaults = params::default_parameters();
    const Case cases[] = {
        {"the default file", k_default_file, defaults},
        {"other values, LF line ends",
         " 55.500\n 21.000\n   1080\n   1920\n     20\n  3.000\n",
         {55.5f, 21.0f, 1920, 1080, 20, 3.0f}},
        {"letters on line 4: it and the lines after keep their defaults",
         "100.000\n 15.000\n    600\n  abc\n     20\n  3.000\n",
         {100.0f, 15.0f, 1024, 600, 100, 50.0f}},
        {"an empty line reads as zero",
         "100.000\n\n    600\n",
         {100.0f, 0.0f, 1024, 600, 100, 50.0f}},
        {"no point: three implied decimals", "    200\n", {0.2f, 17.7f, 1024, 768, 100, 50.0f}},
        {"asterisks are unreadable", "*******\n 15.000\n", defaults},
        {"only columns 1 to 7 count", " 80.000xyz\n", {80.0f, 17.7f, 1024, 768, 100, 50.0f}},
        {"an empty file", "", defaults},
        {"a distance beyond the range of a real is unreadable", "   2e81\n 15.000\n", defaults},
        {"so is a diagonal, and the lines after it keep their defaults",
         "100.000\n-1.0+39\n    600\n",
         {100.0f, 17.7f, 1024, 768, 100, 50.0f}},
        {"the largest magnitude a real holds still reads",
         "3.40+38\n",
         {3.4e38f, 17.7f, 1024, 768, 100, 50.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkingFolder folder;
        folder.write("pelidor.vvd", c.contents);
        state::Parameters read = defaults;
        params::read_parameter_file(read);
        EXPECT_FLOAT_EQ(read.DIST, c.expected.DIST);
        EXPECT_FLOAT_EQ(read.DIAG, c.expected.DIAG);
        EXPECT_EQ(read.NY, c.expected.NY);
        EXPECT_EQ(read.NX, c.expected.NX);
        EXPECT_EQ(read.NVOL, c.expected.NVOL);
        EXPECT_FLOAT_EQ(read.TANS, c.expected.TANS);
    }
}

GTEST_TEST(ParameterFileTest, EveryParameterReadsBackFromTheLineWrittenForIt) {
    // Values unlike each other and unlike the defaults, so a value written on another
    // parameter's line, or read into another parameter, is seen.
    const state::Parameters written{61.25f, 23.5f, 1200, 1600, 37, 4.75f};
    WorkingFolder folder;
    ASSERT_TRUE(params::write_parameter_file(written));
    state::Parameters read = params::default_parameters();
    params::read_parameter_file(read);
    for (const params::Parameter& parameter : params::k_parameters) {
        SCOPED_TRACE(parameter.name);
        if (parameter.is_integer()) {
            EXPECT_EQ(read.*parameter.integer, written.*parameter.integer);
        } else {
            EXPECT_FLOAT_EQ(read.*parameter.real, written.*parameter.real);
        }
    }
    EXPECT_EQ(params::parameter_file_lines(read), params::parameter_file_lines(written));
}

GTEST_TEST(ParameterFileTest, MissingFileKeepsTheDefaults) {
    WorkingFolder folder;
    state::Parameters read = params::default_parameters();
    params::read_parameter_file(read);
    EXPECT_FLOAT_EQ(read.DIST, 200.0f);
    EXPECT_EQ(read.NVOL, 100);
}

GTEST_TEST(ParameterFileTest, WideValuesKeepAsManyDecimalsAsFitAndReadBackUnchanged) {
    struct Case {
        const char* what;
        float value;
        const char* field;
    };
    const Case cases[] = {
        {"1234.5 keeps two decimals", 1234.5f, "1234.50"},
        {"12345.4 keeps one", 12345.4f, "12345.4"},
        {"999999 keeps none", 999999.0f, "999999."},
        {"too wide for any count of decimals", 12345678.0f, "*******"},
        {"a negative value rounding to zero keeps its sign", -0.0004f, " -0.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkingFolder folder;
        state::Parameters written = params::default_parameters();
        written.DIST = c.value;
        ASSERT_TRUE(params::write_parameter_file(written));
        EXPECT_EQ(folder.read("pelidor.vvd").substr(0, 7), c.field);
        state::Parameters read = params::default_parameters();
        params::read_parameter_file(read);
        if (std::string(c.field) != "*******") {
            EXPECT_NEAR(read.DIST, c.value, 0.06f);
            EXPECT_FLOAT_EQ(read.TANS, 50.0f);
        }
    }
}

GTEST_TEST(ParameterFileTest, LargeResolutionIsSavedInSevenColumns) {
    WorkingFolder folder;
    state::Parameters written = params::default_parameters();
    written.NX = 12000;
    ASSERT_TRUE(params::write_parameter_file(written));
    EXPECT_EQ(params::parameter_file_lines(written)[3].substr(0, 7), "  12000");
}

GTEST_TEST(ParameterFileTest, AFailedWriteLeavesTheOldFileWhole) {
    WorkingFolder folder;
    folder.write("pelidor.vvd", k_default_file);
    // A folder where the temporary file would go cannot be written as root either.
    std::filesystem::create_directories(folder.path() / "blocked");
    state::Parameters written = params::default_parameters();
    EXPECT_FALSE(params::write_parameter_file(written, "blocked/missing/pelidor.vvd"));
    EXPECT_EQ(folder.read("pelidor.vvd"), k_default_file);
}

// Another program saving the parameters: it holds the lock on its temporary until it is
// released, in a process of its own.
class LiveWriter {
  public:
    explicit LiveWriter(const std::filesystem::path& temporary) {
        int locked[2], release[2];
        if (::pipe(locked) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(locked[0]);
            ::close(release[1]);
            const int descriptor = ::open(temporary.c_str(), O_WRONLY);
            const char byte = descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
            if (::write(locked[1], &byte, 1) != 1) ::_exit(1);
            char ignored;
            ::read(release[0], &ignored, 1);  // until the test is done with the writer
            ::_exit(0);
        }
        ::close(locked[1]);
        ::close(release[0]);
        release_ = release[1];
        char byte = 0;
        holds_lock_ = pid_ > 0 && ::read(locked[0], &byte, 1) == 1 && byte == 1;
        ::close(locked[0]);
    }
    ~LiveWriter() {
        if (release_ >= 0) ::close(release_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    LiveWriter(const LiveWriter&) = delete;
    LiveWriter& operator=(const LiveWriter&) = delete;

    bool holds_lock() const { return holds_lock_; }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holds_lock_ = false;
};

GTEST_TEST(ParameterFileTest, ASaveRemovesTheTemporariesOfKilledSavesButNotOfLiveOnes) {
    namespace fs = std::filesystem;
    WorkingFolder folder;
    folder.write("pelidor.vvd", k_default_file);
    const auto two_minutes_ago = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    // The temporaries of two saves begun two minutes ago: one killed, one still writing.
    for (const char* name : {"pelidor.vvd.tmp31337.0", "pelidor.vvd.tmp31338.4"}) {
        folder.write(name, "200.000  (dist");
        fs::last_write_time(folder.path() / name, two_minutes_ago);
    }
    const LiveWriter writer(folder.path() / "pelidor.vvd.tmp31338.4");
    ASSERT_TRUE(writer.holds_lock());

    state::Parameters written = params::default_parameters();
    written.NVOL = 20;
    ASSERT_TRUE(params::write_parameter_file(written));

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"pelidor.vvd", "pelidor.vvd.tmp31338.4"}));
    state::Parameters read = params::default_parameters();
    params::read_parameter_file(read);
    EXPECT_EQ(read.NVOL, 20);
}

}  // namespace
