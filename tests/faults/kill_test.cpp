#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fault_writer.h"
#include "params/parameter_file.h"
#include "program_fixture.h"
#include "results/log_reader.h"
#include "results/results_log.h"

// A writer of the program's files is killed with SIGKILL at random moments, hundreds of times,
// and after every kill the files must hold only whole records: the log only whole lines, the
// parameter file exactly the old or the new contents. PELIDOR_KILL_ROUNDS sets the number of
// kills of each test (thousands for a long run), PELIDOR_KILL_SEED repeats a run.
namespace {

namespace fs = std::filesystem;

int kill_rounds() {
    const char* text = std::getenv("PELIDOR_KILL_ROUNDS");
    return text ? std::max(1, std::atoi(text)) : 300;
}

unsigned kill_seed() {
    const char* text = std::getenv("PELIDOR_KILL_SEED");
    return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : std::random_device{}();
}

// Starts the writer in `folder`, kills it `delay` after it began to write and reaps it.
// False when it ended by itself before the kill, which only a failed write makes it do.
bool run_and_kill(const char* mode, const fs::path& folder, std::chrono::microseconds delay,
                  pid_t& pid) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return false;
    const std::string writer = PELIDOR_FAULT_WRITER;
    const std::string folder_text = folder.string();
    const std::string ready_text = std::to_string(ready[1]);
    char* const arguments[] = {const_cast<char*>(writer.c_str()), const_cast<char*>(mode),
                               const_cast<char*>(folder_text.c_str()),
                               const_cast<char*>(ready_text.c_str()), nullptr};
    pid = ::fork();
    if (pid == 0) {
        // The ready end stays open across exec; every other descriptor closes.
        ::fcntl(ready[1], F_SETFD, 0);
        ::execv(arguments[0], arguments);
        ::_exit(127);
    }
    ::close(ready[1]);
    if (pid < 0) {
        ::close(ready[0]);
        return false;
    }
    char byte = 0;
    while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
    }
    ::close(ready[0]);
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string with_line_ends(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The files in `folder` other than the program's own, i.e. temporary files left behind.
std::vector<fs::path> leftovers(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != results::k_log_file && name != params::k_parameter_file) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// Checks that a kill left at most one temporary file, named after `file` and the killed
// writer, and removes it. The program's next write sweeps such a file only once it is a minute
// old, and the rounds follow each other faster than that; it is never read, and a later write
// never reuses its name.
void expect_at_most_one_leftover(const fs::path& folder, const std::string& file, pid_t pid) {
    const std::vector<fs::path> found = leftovers(folder);
    EXPECT_LE(found.size(), 1u);
    const std::string expected_prefix = file + ".tmp" + std::to_string(pid) + ".";
    for (const fs::path& path : found) {
        EXPECT_EQ(path.filename().string().rfind(expected_prefix, 0), 0u) << path;
        fs::remove(path);
    }
}

GTEST_TEST(KilledWriter, LogHoldsOnlyWholeRecordsAndOneHeader) {
    testing_support::WorkingFolder folder;
    const std::vector<std::string> records = faults::record_lines();
    const std::string header = results::log_header();
    ASSERT_EQ(header.size(), 115u);
    ASSERT_EQ(records[0].size(), 80u);
    ASSERT_EQ(records[1].size(), 115u);

    const unsigned seed = kill_seed();
    SCOPED_TRACE("PELIDOR_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay_us(0, 2000);
    const fs::path log = folder.path() / results::k_log_file;

    size_t checked_bytes = 0;  // the file up to here was whole lines when last read
    long records_checked = 0;
    long whole_records = 0;  // in the log as it is now
    long cut_records = 0;
    const auto is_start_of_a_record = [&records](const std::string& line) {
        return std::any_of(records.begin(), records.end(), [&line](const std::string& record) {
            return line.size() < record.size() && record.starts_with(line);
        });
    };
    const auto entries_in_log = [] {
        long count = 0;
        results::read_log(results::k_log_file, [&count](const results::LogRecord&) { ++count; });
        return count;
    };
    const int rounds = kill_rounds();
    for (int round = 0; round < rounds; ++round) {
        // Now and then a fresh log, so that kills also land while it is being created.
        if (round % 10 == 0) {
            fs::remove(log);
            checked_bytes = 0;
            whole_records = 0;
        }
        pid_t pid = 0;
        ASSERT_TRUE(
            run_and_kill("append", folder.path(), std::chrono::microseconds(delay_us(random)), pid))
            << "round " << round << ": the writer stopped by itself";
        expect_at_most_one_leftover(folder.path(), results::k_log_file, pid);
        if (!fs::exists(log)) continue;

        const std::string text = read_all(log);
        ASSERT_GE(text.size(), checked_bytes) << "round " << round << ": the log shrank";
        size_t position = checked_bytes;
        bool tail_is_whole = false;
        while (position < text.size()) {
            // A kill between the CR and the LF leaves the record ended by a lone CR, which the
            // next append does not repeat and readers take as a line end.
            const size_t end = text.find_first_of("\r\n", position);
            const std::string line =
                text.substr(position, end == std::string::npos ? end : end - position);
            const bool whole = std::find(records.begin(), records.end(), line) != records.end();
            if (end == std::string::npos) {
                // The kill came before the line end got in; the next append ends the line.
                ASSERT_TRUE(whole || is_start_of_a_record(line))
                    << "round " << round << ": a broken last line: " << line;
                tail_is_whole = whole;
                break;
            }
            if (position == 0) {
                ASSERT_EQ(line, header) << "round " << round << ": the first line";
            } else if (whole) {
                ++records_checked;
                ++whole_records;
            } else {
                // The system may split a write at a page boundary when its writer is killed:
                // what got in is the start of one record, ended by the next append.
                ASSERT_TRUE(is_start_of_a_record(line))
                    << "round " << round << ": a broken line at byte " << position << ": " << line;
                ++cut_records;
            }
            position = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        // The graph takes every whole record and none of the cut ones.
        if (round % 10 == 9 || round == rounds - 1) {
            EXPECT_EQ(entries_in_log(), whole_records + (tail_is_whole ? 1 : 0))
                << "round " << round;
        }
        checked_bytes = position;
    }
    std::printf("[ kills   ] %d kills of the appending writer, %ld records checked, %ld cut\n",
                rounds, records_checked, cut_records);
    EXPECT_GT(records_checked, 0);
}

GTEST_TEST(KilledWriter, ParameterFileIsTheOldOrTheNewNeverAMixture) {
    testing_support::WorkingFolder folder;
    const std::string old_text =
        with_line_ends(params::parameter_file_lines(faults::old_parameters()));
    const std::string new_text =
        with_line_ends(params::parameter_file_lines(faults::new_parameters()));
    ASSERT_NE(old_text, new_text);

    const unsigned seed = kill_seed();
    SCOPED_TRACE("PELIDOR_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay_us(0, 10000);
    const fs::path file = folder.path() / params::k_parameter_file;

    int seen_old = 0, seen_new = 0, partial_temporaries = 0;
    bool existed = false;
    const int rounds = kill_rounds();
    for (int round = 0; round < rounds; ++round) {
        pid_t pid = 0;
        ASSERT_TRUE(
            run_and_kill("save", folder.path(), std::chrono::microseconds(delay_us(random)), pid))
            << "round " << round << ": the writer stopped by itself";

        for (const fs::path& leftover : leftovers(folder.path())) {
            const std::string text = read_all(leftover);
            // What a killed write leaves is a beginning of one of the two contents.
            EXPECT_TRUE(old_text.starts_with(text) || new_text.starts_with(text)) << leftover;
            ++partial_temporaries;
        }
        expect_at_most_one_leftover(folder.path(), params::k_parameter_file, pid);

        if (!fs::exists(file)) {
            ASSERT_FALSE(existed) << "round " << round << ": the parameter file vanished";
            continue;
        }
        existed = true;
        const std::string text = read_all(file);
        ASSERT_TRUE(text == old_text || text == new_text)
            << "round " << round << ": the parameter file is\n"
            << text;
        (text == old_text ? seen_old : seen_new)++;

        // The program reads back one of the two sets, whole.
        state::Parameters read = params::default_parameters();
        read.DIST = -1;
        params::read_parameter_file(read, file.string());
        EXPECT_NE(read.DIST, -1.0f);
    }
    std::printf("[ kills   ] %d kills of the saving writer: old %d, new %d, temporaries %d\n",
                rounds, seen_old, seen_new, partial_temporaries);
    EXPECT_GT(seen_old + seen_new, 0);
}

}  // namespace
