#include "textio/temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace textio {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view k_temporary_mark = ".tmp";

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True for "<file_name>.tmp<digits>.<digits>".
bool is_temporary_of(std::string_view candidate, std::string_view file_name) {
    if (!candidate.starts_with(file_name)) return false;
    candidate.remove_prefix(file_name.size());
    if (!candidate.starts_with(k_temporary_mark)) return false;
    candidate.remove_prefix(k_temporary_mark.size());
    const size_t point = candidate.find('.');
    return point != std::string_view::npos && all_digits(candidate.substr(0, point)) &&
           all_digits(candidate.substr(point + 1));
}

bool is_stale(const struct stat& status) {
    timespec now{};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    // A time stamp in the future (another machine's clock) counts as young.
    return now.tv_sec - status.st_mtim.tv_sec >= k_stale_temporary_seconds;
}

// Removes `path` if it is a stale temporary that no one holds.
void remove_if_abandoned(const fs::path& path) {
    // Opened for writing: where locks go over the network, an exclusive one needs it. A
    // symbolic link is never followed, and a file that cannot be opened stays.
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && is_stale(status) &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        // The name must still be the file that was checked: a writer that renamed its
        // temporary away in the meantime leaves either no file or another one under it.
        struct stat now_named {};
        if (::lstat(path.c_str(), &now_named) == 0 && now_named.st_dev == status.st_dev &&
            now_named.st_ino == status.st_ino) {
            ::unlink(path.c_str());
        }
    }
    ::close(descriptor);
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name_ =
            name + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
        descriptor_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ >= 0 || errno != EEXIST) break;
    }
    if (descriptor_ < 0) {
        create_error_ = errno;
        return;
    }
    // Where the file system offers no locks the temporary goes unlocked; the sweep then cannot
    // lock it either, and leaves it.
    lock_descriptor_ = ::fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
    if (lock_descriptor_ >= 0) ::flock(lock_descriptor_, LOCK_EX | LOCK_NB);
}

TemporaryFile::~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!name_.empty() && !moved_ && create_error_ == 0) ::unlink(name_.c_str());
    if (lock_descriptor_ >= 0) ::close(lock_descriptor_);
}

int TemporaryFile::close_descriptor() {
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    return closed == 0 ? 0 : errno;
}

void remove_stale_temporaries(const std::string& name) {
    const fs::path file(name);
    const std::string file_name = file.filename().string();
    if (file_name.empty()) return;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (is_temporary_of(entry->path().filename().string(), file_name)) {
            remove_if_abandoned(entry->path());
        }
    }
}

}  // namespace textio
