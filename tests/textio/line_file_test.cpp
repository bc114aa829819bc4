#include "textio/line_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <barrier>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "textio/file_sync.h"

namespace {

namespace fs = std::filesystem;
using textio::IoErrorKind;

// Each test works in a fresh folder of its own, removed afterwards.
class LineFileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "textio_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    void write_bytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    std::string read_bytes(const std::string& name) const {
        std::ifstream file(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::vector<std::string> folder_entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::vector<std::string> all_lines(textio::LineReader& reader) {
        std::vector<std::string> lines;
        while (auto line = reader.next_line()) lines.push_back(*line);
        return lines;
    }

    fs::path folder_;
};

using Lines = std::vector<std::string>;

// The records a reader must give for `bytes`: every CR LF, lone LF and lone CR ends one, and
// a last line without an ending is one too.
Lines expected_records(const std::string& bytes) {
    Lines lines;
    std::string current;
    bool inside_line = false;
    for (size_t index = 0; index < bytes.size(); ++index) {
        const char c = bytes[index];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            inside_line = false;
            if (c == '\r' && index + 1 < bytes.size() && bytes[index + 1] == '\n') ++index;
        } else {
            current += c;
            inside_line = true;
        }
    }
    if (inside_line) lines.push_back(current);
    return lines;
}

// ---- reading

GTEST_TEST_F(LineFileTest, ReadsRecordsWhateverTheLineEnds) {
    struct Case {
        const char* what;
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"CR LF", "200.000  (distance)\r\n 17.700\r\n", {"200.000  (distance)", " 17.700"}},
        {"LF only", "one\ntwo\n", {"one", "two"}},
        {"last line without an end", "one\r\ntwo", {"one", "two"}},
        {"CR only", "one\rtwo\r", {"one", "two"}},
        {"mixed endings", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"empty lines are records", "\r\n\r\nx\r\n", {"", "", "x"}},
        {"CR then CR LF is two records", "a\r\r\nb", {"a", "", "b"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"empty file", "", {}},
        {"one line end only", "\r\n", {""}},
        {"blanks are kept", "   \r\n  x  \r\n", {"   ", "  x  "}},
        {"NUL bytes are kept", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write_bytes("file.txt", c.bytes);
        textio::LineReader reader(path("file.txt"));
        ASSERT_TRUE(reader.is_open());
        EXPECT_EQ(all_lines(reader), c.lines);
        EXPECT_FALSE(reader.read_failed());
    }
}

GTEST_TEST_F(LineFileTest, LineEndSplitAcrossReadsIsOneLineEnd) {
    // The reader fetches the file in chunks; a CR LF whose two bytes fall into different chunks
    // must still end one record. Lines ending just before and on common chunk sizes cover it.
    for (const size_t length :
         {4095u, 4096u, 8191u, 16383u, 32767u, 65534u, 65535u, 65536u, 131071u, 262143u}) {
        SCOPED_TRACE(length);
        const std::string first(length, 'a');
        write_bytes("file.txt", first + "\r\nb\r\n");
        textio::LineReader reader(path("file.txt"));
        EXPECT_EQ(all_lines(reader), (Lines{first, "b"}));
    }
}

GTEST_TEST_F(LineFileTest, ReadsVeryLongLinesAndCutsOnlyBeyondTheLimit) {
    const std::string long_line(100'000, 'x');
    write_bytes("file.txt", "short\r\n" + long_line + "\r\nafter\r\n");
    {
        textio::LineReader reader(path("file.txt"));
        EXPECT_EQ(all_lines(reader), (Lines{"short", long_line, "after"}));
    }
    {
        // The rest of a cut line is skipped, not taken as further records.
        textio::LineReader reader(path("file.txt"), 10);
        EXPECT_EQ(all_lines(reader), (Lines{"short", std::string(10, 'x'), "after"}));
    }
}

GTEST_TEST_F(LineFileTest, ReadsBinaryGarbageLikeAnyOtherBytes) {
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const size_t size : {size_t{1}, size_t{1000}, size_t{300'000}}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(byte(generator));
        write_bytes("garbage.bin", bytes);
        textio::LineReader reader(path("garbage.bin"));
        ASSERT_TRUE(reader.is_open());
        EXPECT_EQ(all_lines(reader), expected_records(bytes));
    }
}

GTEST_TEST_F(LineFileTest, TellsWhyAFileCannotBeRead) {
    {
        textio::LineReader reader(path("missing.txt"));
        EXPECT_FALSE(reader.is_open());
        EXPECT_EQ(reader.open_error(), IoErrorKind::file_not_found);
        EXPECT_EQ(reader.next_line(), std::nullopt);
    }
    {
        fs::create_directory(path("folder"));
        textio::LineReader reader(path("folder"));
        EXPECT_FALSE(reader.is_open());
        EXPECT_EQ(reader.open_error(), IoErrorKind::open_failure);
        EXPECT_EQ(reader.next_line(), std::nullopt);
    }
}

GTEST_TEST_F(LineFileTest, StaysAtTheEndOnceReached) {
    write_bytes("file.txt", "only\r\n");
    textio::LineReader reader(path("file.txt"));
    EXPECT_EQ(reader.next_line(), "only");
    EXPECT_EQ(reader.next_line(), std::nullopt);
    EXPECT_EQ(reader.next_line(), std::nullopt);
    EXPECT_FALSE(reader.read_failed());
}

// ---- replacing a whole file

GTEST_TEST_F(LineFileTest, WriteReplacesTheFileWithCrLfLines) {
    struct Case {
        const char* what;
        std::optional<std::string> old_bytes;
        Lines lines;
        std::string bytes;
    };
    const Case cases[] = {
        {"new file",
         std::nullopt,
         {"200.000  (distance in centimeters)", " 17.700"},
         "200.000  (distance in centimeters)\r\n 17.700\r\n"},
        {"longer old contents are gone", std::string(5000, 'o') + "\r\n", {"new"}, "new\r\n"},
        {"blank lines are kept", "old\r\n", {"", "   "}, "\r\n   \r\n"},
        {"no lines give an empty file", "old\r\n", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path("pelidor.vvd"));
        if (c.old_bytes) write_bytes("pelidor.vvd", *c.old_bytes);
        const textio::IoStatus status = textio::write_file_atomically(path("pelidor.vvd"), c.lines);
        EXPECT_TRUE(status.ok());
        EXPECT_EQ(read_bytes("pelidor.vvd"), c.bytes);
        EXPECT_EQ(folder_entries(), Lines{"pelidor.vvd"}) << "a temporary file was left behind";
    }
}

GTEST_TEST_F(LineFileTest, WriteKeepsThePermissionsOfTheReplacedFile) {
    write_bytes("pelidor.vvd", "old\r\n");
    fs::permissions(path("pelidor.vvd"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(textio::write_file_atomically(path("pelidor.vvd"), Lines{"new"}).ok());
    EXPECT_EQ(fs::status(path("pelidor.vvd")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

GTEST_TEST_F(LineFileTest, FailedWriteLeavesTheFolderAsItWas) {
    // A folder in the file's place cannot be replaced: the new text is written, then the
    // rename fails and the temporary file must go.
    fs::create_directory(path("pelidor.vvd"));
    write_bytes("pelidor.vvd/inside", "x");
    const textio::IoStatus occupied =
        textio::write_file_atomically(path("pelidor.vvd"), Lines{"a"});
    EXPECT_FALSE(occupied.ok());
    EXPECT_EQ(occupied.error(), IoErrorKind::write_error);
    EXPECT_EQ(folder_entries(), Lines{"pelidor.vvd"});

    const textio::IoStatus no_folder =
        textio::write_file_atomically(path("missing/pelidor.vvd"), Lines{"a"});
    EXPECT_FALSE(no_folder.ok());
    EXPECT_EQ(no_folder.error(), IoErrorKind::file_not_found);
}

// Writes a file too big for the process's file size limit over an existing one. Returns 0 when
// the write fails and leaves the old file and nothing else, else a code naming what went wrong.
int write_beyond_the_size_limit(const fs::path& folder) {
    const std::string name = (folder / "pelidor.vvd").string();
    std::ofstream(name, std::ios::binary) << "old\r\n";
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;

    const Lines lines(100, std::string(100, 'n'));
    const textio::IoStatus status = textio::write_file_atomically(name, lines);
    if (status.ok()) return 1;
    if (status.error() != IoErrorKind::write_error) return 2;
    if (std::distance(fs::directory_iterator(folder), fs::directory_iterator()) != 1) return 3;
    std::ifstream file(name, std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str() == "old\r\n" ? 0 : 4;
}

GTEST_TEST_F(LineFileTest, WriteErrorLeavesTheOldFileAndNoTemporary) {
    // The size limit would hold for the whole test program: run it in a child process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(write_beyond_the_size_limit(folder_)), testing::ExitedWithCode(0), "");
}

// ---- appending log records

GTEST_TEST_F(LineFileTest, AppendWritesTheHeaderOnlyWhenItCreatesTheFile) {
    struct Case {
        const char* what;
        std::optional<std::string> old_bytes;
        std::string bytes;
    };
    const Case cases[] = {
        {"missing file is created with the header", std::nullopt, "HEADER\r\nrecord\r\n"},
        {"empty file gets no header", "", "record\r\n"},
        {"records are added at the end", "HEADER\r\nfirst\r\n", "HEADER\r\nfirst\r\nrecord\r\n"},
        {"a cut last line is ended first", "HEADER\r\nfir", "HEADER\r\nfir\r\nrecord\r\n"},
        {"a line ended by LF alone counts as ended", "HEADER\nfirst\n",
         "HEADER\nfirst\nrecord\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path("pelidor.rtr"));
        if (c.old_bytes) write_bytes("pelidor.rtr", *c.old_bytes);
        EXPECT_TRUE(textio::append_record(path("pelidor.rtr"), "record", "HEADER").ok());
        EXPECT_EQ(read_bytes("pelidor.rtr"), c.bytes);
    }
}

GTEST_TEST_F(LineFileTest, LogKeepsRecordsInOrderAndRestartsWhenDeleted) {
    const std::string log = path("pelidor.rtr");
    ASSERT_TRUE(textio::append_record(log, "first", "HEADER").ok());
    ASSERT_TRUE(textio::append_record(log, "second", "HEADER").ok());
    ASSERT_TRUE(textio::append_record(log, "second", "HEADER").ok());
    EXPECT_EQ(read_bytes("pelidor.rtr"), "HEADER\r\nfirst\r\nsecond\r\nsecond\r\n");

    fs::remove(log);
    ASSERT_TRUE(textio::append_record(log, "third", "HEADER").ok());
    EXPECT_EQ(read_bytes("pelidor.rtr"), "HEADER\r\nthird\r\n");
}

GTEST_TEST_F(LineFileTest, RacingWritersWriteOneHeaderAndWholeLines) {
    constexpr int writers = 4;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        const std::string log = path("race" + std::to_string(round) + ".rtr");
        std::barrier start(writers);
        std::vector<std::thread> threads;
        std::vector<int> succeeded(writers, 0);
        for (int writer = 0; writer < writers; ++writer) {
            threads.emplace_back([&, writer] {
                const std::string record = "record of writer " + std::to_string(writer);
                start.arrive_and_wait();
                succeeded[writer] = textio::append_record(log, record, "HEADER").ok();
            });
        }
        for (auto& thread : threads) thread.join();
        EXPECT_EQ(succeeded, std::vector<int>(writers, 1));

        textio::LineReader reader(log);
        Lines lines = all_lines(reader);
        ASSERT_EQ(lines.size(), size_t{writers + 1});
        EXPECT_EQ(lines.front(), "HEADER");
        lines.erase(lines.begin());
        std::sort(lines.begin(), lines.end());
        for (int writer = 0; writer < writers; ++writer) {
            EXPECT_EQ(lines[static_cast<size_t>(writer)],
                      "record of writer " + std::to_string(writer));
        }
    }
}

GTEST_TEST_F(LineFileTest, AppendReportsWhatStoppedIt) {
    fs::create_directory(path("folder"));
    struct Case {
        const char* what;
        std::string name;
        IoErrorKind error;
    };
    const Case cases[] = {
        {"folder missing", path("missing/pelidor.rtr"), IoErrorKind::file_not_found},
        {"a folder in the file's place", path("folder"), IoErrorKind::open_failure},
        {"device that is always full", "/dev/full", IoErrorKind::write_error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.name == "/dev/full" && !fs::exists(c.name)) continue;  // not on every system
        const textio::IoStatus status = textio::append_record(c.name, "record", "HEADER");
        EXPECT_FALSE(status.ok());
        EXPECT_EQ(status.error(), c.error);
    }
    EXPECT_EQ(folder_entries(), Lines{"folder"});
}

// ---- making writes durable

// What the file layer had done when it asked for a sync.
struct SyncSeen {
    textio::SyncTarget target;
    std::string synced_bytes;                // the synced file's; empty for a folder
    std::optional<std::string> named_bytes;  // the file under its final name, if any yet
    bool locked = false;                     // someone holds a lock on the synced file
    bool in_the_folder = false;              // the synced file or folder is the test's folder
    bool operator==(const SyncSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SyncSeen& seen) {
    return out << "{target " << static_cast<int>(seen.target) << ", synced \"" << seen.synced_bytes
               << "\", named " << (seen.named_bytes ? "\"" + *seen.named_bytes + "\"" : "none")
               << (seen.locked ? ", locked" : "") << (seen.in_the_folder ? ", here" : "") << "}";
}

fs::path path_of_descriptor(int descriptor) {
    return fs::read_symlink("/proc/self/fd/" + std::to_string(descriptor));
}

// True when another file description holds a lock on the file: an exclusive one is refused.
bool is_locked(const fs::path& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool refused = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return refused;
}

std::string bytes_at(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Records every sync of the file layer, then makes it, or fails it with EIO when its target is
// `failing`. `name` is the file being written, in `folder`.
class SyncWatch {
  public:
    SyncWatch(const fs::path& folder, const std::string& name,
              std::optional<textio::SyncTarget> failing = std::nullopt)
        : replaced_([this, here = fs::canonical(folder), named = fs::canonical(folder) / name,
                     failing](int descriptor, textio::SyncTarget target) {
              const fs::path synced = path_of_descriptor(descriptor);
              SyncSeen seen{target, {}, std::nullopt, is_locked(synced), false};
              if (target == textio::SyncTarget::folder) {
                  seen.in_the_folder = synced == here;
              } else {
                  seen.in_the_folder = synced.parent_path() == here;
                  seen.synced_bytes = bytes_at(synced);
              }
              if (fs::is_regular_file(named)) seen.named_bytes = bytes_at(named);
              seen_.push_back(seen);
              return target == failing ? EIO : textio::system_sync(descriptor, target);
          }) {}

    const std::vector<SyncSeen>& seen() const { return seen_; }

  private:
    std::vector<SyncSeen> seen_;
    textio::ScopedSyncCall replaced_;
};

using textio::SyncTarget;

GTEST_TEST_F(LineFileTest, AnAppendedRecordIsSyncedBeforeTheAppendReturns) {
    struct Case {
        const char* what;
        std::optional<std::string> old_bytes;
        std::vector<SyncSeen> syncs;
    };
    const std::string created = "HEADER\r\nrecord\r\n";
    const Case cases[] = {
        {"a record added to the log: its data",
         "HEADER\r\nfirst\r\n",
         {{SyncTarget::file_data, "HEADER\r\nfirst\r\nrecord\r\n", "HEADER\r\nfirst\r\nrecord\r\n",
           false, true}}},
        {"after the line end of a cut line",
         "HEADER\r\nfir",
         {{SyncTarget::file_data, "HEADER\r\nfir\r\nrecord\r\n", "HEADER\r\nfir\r\nrecord\r\n",
           false, true}}},
        {"an empty log", "", {{SyncTarget::file_data, "record\r\n", "record\r\n", false, true}}},
        {"a new log: its locked temporary before the link, then the folder after it",
         std::nullopt,
         {{SyncTarget::whole_file, created, std::nullopt, true, true},
          {SyncTarget::folder, "", created, false, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path("pelidor.rtr"));
        if (c.old_bytes) write_bytes("pelidor.rtr", *c.old_bytes);
        const SyncWatch watch(folder_, "pelidor.rtr");
        EXPECT_TRUE(textio::append_record(path("pelidor.rtr"), "record", "HEADER").ok());
        EXPECT_EQ(watch.seen(), c.syncs);
    }
}

GTEST_TEST_F(LineFileTest, AFailedSyncIsAFailedAppendAndLeavesTheLogAsItWas) {
    struct Case {
        const char* what;
        std::optional<std::string> old_bytes;
        SyncTarget failing;
    };
    const Case cases[] = {
        {"the record's sync", "HEADER\r\nfirst\r\n", SyncTarget::file_data},
        {"the record's sync, after a cut line", "HEADER\r\nfir", SyncTarget::file_data},
        {"the record's sync in an empty log", "", SyncTarget::file_data},
        {"a new log's sync", std::nullopt, SyncTarget::whole_file},
        {"a new log's folder sync", std::nullopt, SyncTarget::folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path("pelidor.rtr"));
        if (c.old_bytes) write_bytes("pelidor.rtr", *c.old_bytes);
        {
            const SyncWatch watch(folder_, "pelidor.rtr", c.failing);
            const textio::IoStatus status =
                textio::append_record(path("pelidor.rtr"), "record", "HEADER");
            EXPECT_FALSE(status.ok());
            EXPECT_EQ(status.error(), IoErrorKind::write_error);
            ASSERT_FALSE(watch.seen().empty());
            EXPECT_EQ(watch.seen().back().target, c.failing) << "the failed sync was the last";
        }
        if (c.old_bytes) {
            EXPECT_EQ(read_bytes("pelidor.rtr"), *c.old_bytes);
            EXPECT_EQ(folder_entries(), Lines{"pelidor.rtr"});
        } else {
            EXPECT_TRUE(folder_entries().empty()) << "a log or its temporary stayed";
        }

        // Once the disk is well again, the next record goes in whole, where the failed one
        // would have.
        ASSERT_TRUE(textio::append_record(path("pelidor.rtr"), "record", "HEADER").ok());
        const std::string old_bytes = c.old_bytes.value_or("HEADER\r\n");
        const std::string line_end = old_bytes.ends_with('\n') || old_bytes.empty() ? "" : "\r\n";
        EXPECT_EQ(read_bytes("pelidor.rtr"), old_bytes + line_end + "record\r\n");
    }
}

GTEST_TEST_F(LineFileTest, AReplacementIsSyncedBeforeTheRenameAndTheFolderAfterIt) {
    write_bytes("pelidor.vvd", "old\r\n");
    const SyncWatch watch(folder_, "pelidor.vvd");
    ASSERT_TRUE(textio::write_file_atomically(path("pelidor.vvd"), Lines{"new"}).ok());
    const std::vector<SyncSeen> expected = {
        {SyncTarget::whole_file, "new\r\n", "old\r\n", true, true},
        {SyncTarget::folder, "", "new\r\n", false, true},
    };
    EXPECT_EQ(watch.seen(), expected);
}

GTEST_TEST_F(LineFileTest, AReplacementThatCannotBeSyncedLeavesTheOldFile) {
    struct Case {
        const char* what;
        SyncTarget failing;
        bool ok;
        std::string bytes;
    };
    const Case cases[] = {
        {"the new text's sync fails: nothing is replaced", SyncTarget::whole_file, false,
         "old\r\n"},
        // The new text is whole on the disk under one of the two names by then.
        {"the folder's sync fails: the replacement stands", SyncTarget::folder, true, "new\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write_bytes("pelidor.vvd", "old\r\n");
        const SyncWatch watch(folder_, "pelidor.vvd", c.failing);
        const textio::IoStatus status =
            textio::write_file_atomically(path("pelidor.vvd"), Lines{"new"});
        EXPECT_EQ(status.ok(), c.ok);
        if (!c.ok) {
            EXPECT_EQ(status.error(), IoErrorKind::write_error);
        }
        EXPECT_EQ(read_bytes("pelidor.vvd"), c.bytes);
        EXPECT_EQ(folder_entries(), Lines{"pelidor.vvd"});
    }
}

}  // namespace
