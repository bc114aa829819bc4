#include "textio/temporary_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "textio/line_file.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A fresh folder per test; the sweep is run on the files of one writer in it.
class TemporaryFileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "temporary_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        for (const int descriptor : held_) ::close(descriptor);
        fs::remove_all(folder_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // A file whose last change was `age` ago.
    void make_file(const std::string& name, std::chrono::seconds age) const {
        std::ofstream(path(name), std::ios::binary) << "200.000  (dist";
        fs::last_write_time(path(name), fs::file_time_type::clock::now() - age);
    }

    // Holds an exclusive lock on the file the way its writer does, through a file description
    // of its own, until the end of the test.
    void hold_lock(const std::string& name) {
        const int descriptor = ::open(path(name).c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(::flock(descriptor, LOCK_EX | LOCK_NB), 0);
        held_.push_back(descriptor);
    }

    Names folder_entries() const {
        Names names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
    std::vector<int> held_;
};

// True when someone holds a lock on the file: an exclusive lock of our own is refused.
bool is_locked(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool refused = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return refused;
}

constexpr std::chrono::seconds k_stale{150};
constexpr std::chrono::seconds k_young{40};

GTEST_TEST_F(TemporaryFileTest, SweepRemovesOnlyAbandonedStaleTemporariesOfItsOwnFile) {
    // Each writer sweeps the temporaries of its own file when it writes: the parameter file's
    // save and the log's append.
    struct Writer {
        const char* what;
        std::string file;
        void (*write)(const std::string& path);
    };
    const Writer writers[] = {
        {"a save of the parameter file", "pelidor.vvd",
         [](const std::string& path) {
             ASSERT_TRUE(textio::write_file_atomically(path, Names{"new"}).ok());
         }},
        {"an append to the log", "pelidor.rtr",
         [](const std::string& path) {
             ASSERT_TRUE(textio::append_record(path, "record", "HEADER").ok());
         }},
    };
    for (const Writer& writer : writers) {
        SCOPED_TRACE(writer.what);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
        const std::string& file = writer.file;
        const std::string own_process = std::to_string(::getpid());
        const std::string other = file == "pelidor.vvd" ? "pelidor.rtr" : "pelidor.vvd";
        struct Entry {
            const char* what;
            std::string name;
            std::chrono::seconds age;
            bool removed;
        };
        const Entry entries[] = {
            {"abandoned and stale", file + ".tmp4242.0", k_stale, true},
            {"named after a live process, but unlocked", file + ".tmp" + own_process + ".9",
             k_stale, true},
            {"locked by its writer", file + ".tmp4243.1", k_stale, false},
            {"too young to judge", file + ".tmp4244.2", k_young, false},
            {"dated in the future", file + ".tmp4244.3", -k_stale, false},
            {"another file's temporary", other + ".tmp4245.0", k_stale, false},
            {"no counter", file + ".tmp4246", k_stale, false},
            {"not a process number", file + ".tmpx.1", k_stale, false},
            {"something after the counter", file + ".tmp4247.1.bak", k_stale, false},
            {"another name ending alike", "x" + file + ".tmp4248.0", k_stale, false},
        };
        for (const Entry& entry : entries) make_file(entry.name, entry.age);
        hold_lock(file + ".tmp4243.1");
        // Things named like a temporary that are not files are no one's leftover.
        fs::create_directory(path(file + ".tmp4249.0"));
        make_file("target", k_stale);
        fs::create_symlink(path("target"), path(file + ".tmp4250.0"));
        fs::last_write_time(path(file + ".tmp4249.0"), fs::file_time_type::clock::now() - k_stale);

        writer.write(path(file));

        const Names left = folder_entries();
        for (const Entry& entry : entries) {
            SCOPED_TRACE(entry.what);
            EXPECT_EQ(std::count(left.begin(), left.end(), entry.name), entry.removed ? 0 : 1);
        }
        for (const std::string& kept : Names{file + ".tmp4249.0", file + ".tmp4250.0", "target"}) {
            EXPECT_EQ(std::count(left.begin(), left.end(), kept), 1) << kept;
        }
        EXPECT_TRUE(fs::exists(path(file)));
        for (const int descriptor : held_) ::close(descriptor);
        held_.clear();
    }
}

GTEST_TEST_F(TemporaryFileTest, ATemporaryIsLockedForAsLongAsItExists) {
    std::string name;
    {
        textio::TemporaryFile temporary(path("pelidor.vvd"));
        ASSERT_TRUE(temporary.created());
        name = temporary.name();
        EXPECT_EQ(fs::path(name).parent_path(), folder_);
        EXPECT_TRUE(is_locked(name)) << "while it is written";
        ASSERT_EQ(temporary.close_descriptor(), 0);
        EXPECT_TRUE(is_locked(name)) << "after its descriptor was closed";

        // Old enough to be swept, and still kept: its writer holds it.
        fs::last_write_time(name, fs::file_time_type::clock::now() - k_stale);
        textio::remove_stale_temporaries(path("pelidor.vvd"));
        EXPECT_TRUE(fs::exists(name));
    }
    EXPECT_FALSE(fs::exists(name)) << "a temporary that was not moved is removed at the end";
    EXPECT_TRUE(folder_entries().empty());
}

GTEST_TEST_F(TemporaryFileTest, AMovedTemporaryLeavesItsFinalFile) {
    {
        textio::TemporaryFile temporary(path("pelidor.vvd"));
        ASSERT_TRUE(temporary.created());
        ASSERT_EQ(::write(temporary.descriptor(), "x", 1), 1);
        ASSERT_EQ(temporary.close_descriptor(), 0);
        ASSERT_EQ(::rename(temporary.name().c_str(), path("pelidor.vvd").c_str()), 0);
        temporary.moved();
    }
    EXPECT_EQ(folder_entries(), Names{"pelidor.vvd"});
    EXPECT_FALSE(is_locked(path("pelidor.vvd"))) << "the lock goes with the temporary";
}

GTEST_TEST_F(TemporaryFileTest, ATemporaryThatCannotBeCreatedSaysWhy) {
    textio::TemporaryFile temporary(path("missing/pelidor.vvd"));
    EXPECT_FALSE(temporary.created());
    EXPECT_EQ(temporary.create_error(), ENOENT);
    EXPECT_EQ(temporary.descriptor(), -1);
}

}  // namespace
