#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/figure_file.h"
#include "fault_writer.h"
#include "gfx/headless/headless_platform.h"
#include "gfx/platform.h"
#include "params/dialog_template.h"
#include "params/parameter_file.h"
#include "params/parameters_dialog.h"
#include "program_fixture.h"
#include "results/log_reader.h"
#include "results/progress_graph.h"
#include "results/results_log.h"
#include "state/shared_state.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

// Damaged, hostile and unwritable files: each gives a defined picture or the I/O error report
// naming the file, never a crash or a hang.
namespace {

namespace fs = std::filesystem;
using gfx::HeadlessPlatform;
using gfx::RunOutcome;

constexpr int k_width = 980;
constexpr int k_height = 650;
constexpr gfx::Colour k_blue = 0xFF0000;  // the acuity curve
constexpr gfx::Colour k_message = 0xDDAA00;

std::string binary_garbage(size_t size, bool with_line_ends) {
    std::mt19937 random(20110407);
    std::string text(size, '\0');
    for (char& c : text) {
        c = static_cast<char>(random() & 0xFF);
        if (!with_line_ends && (c == '\r' || c == '\n')) c = 'x';
    }
    return text;
}

// Writes `text` as the file `name` in the working folder.
void write_file(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string joined(const std::vector<std::string>& lines, const std::string& line_end) {
    std::string text;
    for (const std::string& line : lines) text += line + line_end;
    return text;
}

// ---- the results log and its graph

class DamagedLog : public ::testing::Test {
  protected:
    void SetUp() override {
        testing_support::reset_program_state();
        open_page(canvas);
    }

    static void open_page(HeadlessPlatform& platform) {
        testing_support::open_trainer(platform, {k_width, k_height});
        platform.set_user([](HeadlessPlatform&) { state::store(state::run().MEVENT, 1); });
    }

    static std::vector<gfx::Colour> picture_of(const HeadlessPlatform& platform) {
        std::vector<gfx::Colour> pixels;
        for (int y = 0; y < k_height; ++y) {
            for (int x = 0; x < k_width; ++x) pixels.push_back(platform.pixel(x, y));
        }
        return pixels;
    }

    // The graph of `log` on a fresh page.
    std::vector<gfx::Colour> graph_of(const std::string& log) {
        folder.write(results::k_log_file, log);
        HeadlessPlatform platform;
        open_page(platform);
        results::TRITOUT(platform.canvas());
        return picture_of(platform);
    }

    static int entries_of(const std::string& name) {
        int count = 0;
        results::read_log(name, [&count](const results::LogRecord&) { ++count; });
        return count;
    }

    testing_support::WorkingFolder folder;
    HeadlessPlatform canvas;
};

GTEST_TEST_F(DamagedLog, GraphIsDrawnFromTheUsableLinesWhateverElseTheLogHolds) {
    const std::vector<std::string> records = faults::record_lines();
    const std::string header = results::log_header();
    const std::string clean = joined({header, records[0], records[1], records[2]}, "\r\n");
    struct Case {
        const char* what;
        std::string log;
        int entries;  // -1: whatever the bytes happen to hold
        bool same_picture_as_clean;
    };
    const Case cases[] = {
        {"lines of 10^5 characters between the records",
         joined({header, records[0], std::string(100000, '7'), records[1], std::string(100000, '*'),
                 records[2]},
                "\r\n"),
         3, true},
        {"a record followed by 10^5 blanks is read from its first columns",
         joined({header, records[0], records[1], records[2] + std::string(100000, ' ')}, "\r\n"), 3,
         true},
        {"one megabyte of binary garbage", binary_garbage(1 << 20, true), -1, false},
        {"garbage without line ends between records",
         header + "\r\n" + records[0] + "\r\n" + binary_garbage(70000, false) + "\r\n" +
             records[1] + "\r\n" + records[2] + "\r\n",
         3, true},
        {"a NUL inside a record's date",
         joined({header, records[0], records[1], records[2],
                 std::string(records[0]).replace(1, 1, 1, '\0')},
                "\r\n"),
         3, true},
        {"records cut short at the columns of their last fields",
         joined({header, records[0].substr(0, 79), records[0].substr(0, 50),
                 records[1].substr(0, 114), records[1].substr(0, 113), records[1].substr(0, 100),
                 records[2].substr(0, 103), records[0], records[1], records[2]},
                "\r\n"),
         3, true},
        {"CR-only line ends", joined({header, records[0], records[1], records[2]}, "\r"), 3, true},
        {"LF-only line ends", joined({header, records[0], records[1], records[2]}, "\n"), 3, true},
        {"no line end after the last record",
         header + "\r\n" + records[0] + "\r\n" + records[1] + "\r\n" + records[2], 3, true},
        {"a header and nothing but line ends", header + std::string(5000, '\r'), 0, false},
    };
    const std::vector<gfx::Colour> clean_picture = graph_of(clean);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write(results::k_log_file, c.log);
        if (c.entries >= 0) {
            EXPECT_EQ(entries_of(results::k_log_file), c.entries);
        }
        std::vector<gfx::Colour> picture;
        ASSERT_NO_THROW(picture = graph_of(c.log));
        EXPECT_NE(std::count(picture.begin(), picture.end(), k_message), 0) << "no closing message";
        if (c.same_picture_as_clean) {
            EXPECT_TRUE(picture == clean_picture);
        }
    }
}

// A platform that removes or replaces the log once the graph has begun to draw, i.e. after the
// pass that finds the days and before the pass that draws the curves.
class ChangingLogPlatform : public HeadlessPlatform {
  public:
    std::function<void()> change;

  protected:
    void present(int unit) override {
        HeadlessPlatform::present(unit);
        if (++presents_seen_ == 2 && change) change();
    }

  private:
    int presents_seen_ = 0;
};

GTEST_TEST_F(DamagedLog, LogThatChangesBetweenTheTwoPassesStillGivesAGraph) {
    const std::vector<std::string> records = faults::record_lines();
    const std::string log = joined({results::log_header(), records[0], records[1]}, "\r\n");
    std::string far_future = records[0];
    far_future.replace(0, 30, "31.12.9999., 23hour 59min 59sec");
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"the log is deleted", [] { fs::remove(results::k_log_file); }},
        {"the log is emptied", [] { write_file(results::k_log_file, ""); }},
        {"the log is replaced by records far outside the days found",
         [&] {
             write_file(results::k_log_file, joined({results::log_header(), far_future}, "\r\n"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::reset_program_state();
        folder.write(results::k_log_file, log);
        ChangingLogPlatform platform;
        open_page(platform);
        platform.change = c.change;
        ASSERT_NO_THROW(results::TRITOUT(platform.canvas()));
        const std::vector<gfx::Colour> picture = picture_of(platform);
        EXPECT_NE(std::count(picture.begin(), picture.end(), k_message), 0);
    }
}

// ---- the parameter file and the figure file

GTEST_TEST(DamagedParameterFile, KeepsTheValuesOfItsReadableLeadingLines) {
    testing_support::WorkingFolder folder;
    const state::Parameters saved = faults::new_parameters();
    const std::vector<std::string> lines = params::parameter_file_lines(saved);
    const state::Parameters defaults = params::default_parameters();
    struct Case {
        const char* what;
        std::string text;
        float distance;  // what DIST becomes
        float answer_time;
    };
    const Case cases[] = {
        {"CR-only line ends", joined(lines, "\r"), saved.DIST, saved.TANS},
        {"LF-only line ends", joined(lines, "\n"), saved.DIST, saved.TANS},
        {"binary garbage", binary_garbage(1 << 16, true), defaults.DIST, defaults.TANS},
        {"a first line of 10^5 characters after its value",
         joined({lines[0] + std::string(100000, 'z'), lines[1], lines[2], lines[3], lines[4],
                 lines[5]},
                "\r\n"),
         saved.DIST, saved.TANS},
        {"a line of 10^5 characters instead of the fifth",
         joined({lines[0], lines[1], lines[2], lines[3], std::string(100000, 'z'), lines[5]},
                "\r\n"),
         saved.DIST, defaults.TANS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write(params::k_parameter_file, c.text);
        state::Parameters read = params::default_parameters();
        params::read_parameter_file(read);
        EXPECT_EQ(read.DIST, c.distance);
        EXPECT_EQ(read.TANS, c.answer_time);
    }
}

GTEST_TEST(DamagedFigureFile, EndsWithTheReportNamingTheFile) {
    testing_support::WorkingFolder folder;
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"binary garbage", binary_garbage(1 << 16, true)},
        {"one line of 10^5 characters", std::string(100000, '1')},
        {"a huge point count and nothing after it", std::string(16, ' ') + "99999999" + "\r\n"},
        {"CR-only line ends and letters", std::string("abc\rdef\rghi\r")},
    };
    auto figures = std::make_unique<state::FigureTables>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write(app::k_figure_file, c.text);
        try {
            app::load_figures(*figures);
            ADD_FAILURE() << "the damaged figure file was taken";
        } catch (const textio::IoError& error) {
            EXPECT_EQ(error.file(), app::k_figure_file);
            EXPECT_TRUE(error.message().starts_with("forrtl: severe (")) << error.message();
        }
    }
}

// ---- files that cannot be written

// Runs the parameters dialog with "Begin the training" pressed, which saves the file.
RunOutcome save_parameters() {
    testing_support::reset_program_state();
    HeadlessPlatform platform;
    platform.set_dialog_script(
        [](gfx::Dialog& dialog, int) { dialog.activate(params::k_begin_button); });
    return platform.run({}, [](gfx::Canvas& canvas) {
        try {
            params::VVDALND(canvas);
        } catch (const textio::IoError& error) {
            canvas.platform().report_fatal(error.message());
        }
    });
}

// Ends a sight check, which appends its record to the log.
RunOutcome append_a_record() {
    testing_support::reset_program_state();
    HeadlessPlatform platform;
    return platform.run({}, [](gfx::Canvas& canvas) {
        try {
            results::append_sight_check(canvas, 0.7f);
        } catch (const textio::IoError& error) {
            canvas.platform().report_fatal(error.message());
        }
    });
}

void expect_report(const RunOutcome& outcome, const std::string& unit_and_file) {
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::fatal_error);
    EXPECT_TRUE(outcome.message.starts_with("forrtl: severe (")) << outcome.message;
    EXPECT_TRUE(outcome.message.ends_with(unit_and_file)) << outcome.message;
}

const std::string k_parameter_report = ", unit 12, file pelidor.vvd";
const std::string k_log_report = ", unit 16, file pelidor.rtr";

GTEST_TEST(UnwritableFiles, SavingAndAppendingEndWithTheReportNamingTheFile) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& folder)> make_unwritable;
    };
    const Case cases[] = {
        {"the files' names are taken by folders",
         [](const fs::path& folder) {
             fs::create_directory(folder / params::k_parameter_file);
             fs::create_directory(folder / results::k_log_file);
         }},
        {"the working folder was removed",
         [](const fs::path& folder) {
             fs::create_directory(folder / "gone");
             fs::current_path(folder / "gone");
             fs::remove(folder / "gone");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::WorkingFolder folder;
        c.make_unwritable(folder.path());
        expect_report(save_parameters(), k_parameter_report);
        expect_report(append_a_record(), k_log_report);
        fs::current_path(folder.path());
        EXPECT_TRUE(fs::is_directory(folder.path() / params::k_parameter_file) ||
                    !fs::exists(folder.path() / params::k_parameter_file));
    }
}

// A tmpfs mounted in the working folder, entered while it lives; unavailable where mounting
// is not allowed.
class Mount {
  public:
    Mount(const fs::path& at, const char* options) : at_(at) {
        fs::create_directory(at_);
        mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, options) == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
        if (mounted_) fs::current_path(at_);
    }
    ~Mount() {
        if (!mounted_) return;
        fs::current_path(at_.parent_path());
        ::umount2(at_.c_str(), MNT_DETACH);
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }
    bool make_read_only() {
        return ::mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    fs::path at_;
    bool mounted_ = false;
    std::string error_;
};

GTEST_TEST(UnwritableFiles, ReadOnlyFolderKeepsTheFilesAndReportsThem) {
    testing_support::WorkingFolder folder;
    Mount mount(folder.path() / "disk", "size=1m");
    if (!mount.mounted()) GTEST_SKIP() << "mount refused: " << mount.error();
    const std::vector<std::string> records = faults::record_lines();
    const std::string log = joined({results::log_header(), records[0]}, "\r\n");
    const std::string parameters =
        joined(params::parameter_file_lines(faults::new_parameters()), "\r\n");
    write_file(results::k_log_file, log);
    write_file(params::k_parameter_file, parameters);
    ASSERT_TRUE(mount.make_read_only()) << std::strerror(errno);

    expect_report(save_parameters(), k_parameter_report);
    expect_report(append_a_record(), k_log_report);
    EXPECT_EQ(read_file(results::k_log_file), log);
    EXPECT_EQ(read_file(params::k_parameter_file), parameters);
}

// Appends `records` in turn to the log until an append is refused, at most `most` of them.
struct AppendRun {
    int appended = 0;
    textio::IoStatus status = textio::IoStatus::success();
};

AppendRun append_until_refused(const std::vector<std::string>& records, int most) {
    AppendRun run;
    while (run.appended < most) {
        run.status = textio::append_record(
            results::k_log_file, records[static_cast<size_t>(run.appended) % records.size()],
            results::log_header());
        if (!run.status) break;
        ++run.appended;
    }
    return run;
}

// The log after `count` records appended in turn from `records`, each one whole.
std::string log_of_first(int count, const std::vector<std::string>& records) {
    std::string log = results::log_header() + "\r\n";
    for (int i = 0; i < count; ++i) log += records[i % records.size()] + "\r\n";
    return log;
}

::testing::AssertionResult log_is(const std::string& expected) {
    const std::string log = read_file(results::k_log_file);
    if (log == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the log does not end with the last record written:\n"
                                         << log.substr(log.size() > 300 ? log.size() - 300 : 0);
}

GTEST_TEST(UnwritableFiles, FullDiskKeepsEveryWholeRecordAndTheOldParameters) {
    testing_support::WorkingFolder folder;
    Mount mount(folder.path() / "disk", "size=64k");
    if (!mount.mounted()) GTEST_SKIP() << "mount refused: " << mount.error();
    const std::string parameters =
        joined(params::parameter_file_lines(faults::new_parameters()), "\r\n");
    write_file(params::k_parameter_file, parameters);

    // Records until the disk is full.
    const std::vector<std::string> records = faults::record_lines();
    const AppendRun run = append_until_refused(records, 100000);
    ASSERT_FALSE(run.status.ok()) << "the disk never filled";
    EXPECT_EQ(run.status.error(), textio::IoErrorKind::write_error);

    // Every record reported as written is there, whole, and nothing else.
    const std::string expected = log_of_first(run.appended, records);
    EXPECT_TRUE(log_is(expected));

    // Neither the program's save nor its append gets through, and both say which file.
    expect_report(save_parameters(), k_parameter_report);
    expect_report(append_a_record(), k_log_report);
    EXPECT_EQ(read_file(params::k_parameter_file), parameters);
    EXPECT_TRUE(log_is(expected));
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == results::k_log_file || name == params::k_parameter_file) << name;
    }
}

// A limit on the size of the files this process writes, lifted again at the end of the scope.
// Writing past it fails the way a full disk does, where a tmpfs cannot be mounted.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        set_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return set_; }

  private:
    rlimit old_{};
    void (*old_handler_)(int) = SIG_DFL;
    bool set_ = false;
};

GTEST_TEST(UnwritableFiles, LogThatCannotGrowKeepsEveryWholeRecord) {
    testing_support::WorkingFolder folder;
    const std::vector<std::string> records = faults::record_lines();
    AppendRun run;
    {
        // Not a multiple of any record's length, so the last append is cut in the middle.
        const FileSizeLimit limit(10007);
        ASSERT_TRUE(limit.set());
        run = append_until_refused(records, 1000);
        ASSERT_FALSE(run.status.ok()) << "the log grew past its limit";
        EXPECT_EQ(run.status.error(), textio::IoErrorKind::write_error);
        expect_report(append_a_record(), k_log_report);
    }
    EXPECT_TRUE(log_is(log_of_first(run.appended, records)));
}

}  // namespace
