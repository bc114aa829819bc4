#include "textio/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>

namespace textio {

namespace {

constexpr size_t k_buffer_size = size_t{1} << 16;
constexpr std::string_view k_line_end = "\r\n";

IoErrorKind kind_for(int error_number, IoErrorKind otherwise) {
    switch (error_number) {
        case ENOENT:
        case ENOTDIR:
            return IoErrorKind::file_not_found;
        case EACCES:
        case EPERM:
        case EROFS:
            return IoErrorKind::permission_denied;
        default:
            return otherwise;
    }
}

struct WriteOutcome {
    int error = 0;       // 0 on success, else the errno of the failed write
    size_t written = 0;  // bytes that did reach the file
};

// Writes all of `text`. A regular file takes the whole text in one write; only a short write
// (a full disk, a signal) needs another.
WriteOutcome write_all(int descriptor, std::string_view text) {
    WriteOutcome outcome;
    while (outcome.written < text.size()) {
        const ssize_t count =
            ::write(descriptor, text.data() + outcome.written, text.size() - outcome.written);
        if (count < 0) {
            if (errno == EINTR) continue;
            outcome.error = errno;
            return outcome;
        }
        if (count == 0) {
            outcome.error = EIO;
            return outcome;
        }
        outcome.written += static_cast<size_t>(count);
    }
    return outcome;
}

// Takes back the part of an append that got in before its write failed, so that a log on a
// full disk does not end inside a record the caller was told was not written. The file is cut
// only while the failed record is still its end: a record another writer appended after it
// is never touched.
void take_back_partial_append(int descriptor, size_t written) {
    if (written == 0) return;
    const off_t end_of_ours = ::lseek(descriptor, 0, SEEK_CUR);
    struct stat status {};
    if (end_of_ours < 0 || ::fstat(descriptor, &status) != 0 || status.st_size != end_of_ours) {
        return;
    }
    // Should the cut fail, the piece stays; the next append starts its record on a new line.
    if (::ftruncate(descriptor, end_of_ours - static_cast<off_t>(written)) != 0) return;
}

IoStatus write_and_close(int descriptor, std::string_view text, bool appending = false) {
    const WriteOutcome outcome = write_all(descriptor, text);
    if (outcome.error != 0 && appending) take_back_partial_append(descriptor, outcome.written);
    const bool closed = ::close(descriptor) == 0;
    if (outcome.error != 0) {
        return IoStatus::failure(kind_for(outcome.error, IoErrorKind::write_error));
    }
    if (!closed) return IoStatus::failure(IoErrorKind::close_error);
    return IoStatus::success();
}

std::string joined_lines(std::span<const std::string> lines) {
    size_t size = 0;
    for (const auto& line : lines) size += line.size() + k_line_end.size();
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += k_line_end;
    }
    return text;
}

struct TemporaryFile {
    int descriptor = -1;  // -1 with errno set when it could not be created
    std::string name;
};

// Creates a new, empty file next to `name` that no one else uses.
TemporaryFile create_temporary_beside(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    TemporaryFile temporary;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary.name =
            name + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
        temporary.descriptor =
            ::open(temporary.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temporary.descriptor >= 0 || errno != EEXIST) break;
    }
    return temporary;
}

// Makes a rename in the folder of `name` survive a crash. Best effort: the new contents are
// already complete on disk, so a failure here loses nothing that a crash would not.
void sync_folder_of(const std::string& name) {
    const std::filesystem::path parent = std::filesystem::path(name).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// True when the file has contents whose last byte ends no line.
bool ends_inside_a_line(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0) {
        return false;
    }
    char last = '\n';
    if (::pread(descriptor, &last, 1, status.st_size - 1) != 1) return false;
    return last != '\n' && last != '\r';
}

// Creates the file `name` holding `text`, unless it exists. Returns nothing when another writer
// created it first. The text is written to a private file and then linked under the name, which
// succeeds only when no file has that name: the file thus appears with its first lines already
// in it, so a writer appending at the same moment cannot put its record before the header. Where
// the file system has no hard links, the file is created exclusively and written in one go.
std::optional<IoStatus> create_exclusively(const std::string& name, std::string_view text) {
    const TemporaryFile temporary = create_temporary_beside(name);
    if (temporary.descriptor < 0) {
        return IoStatus::failure(kind_for(errno, IoErrorKind::open_failure));
    }
    const IoStatus written = write_and_close(temporary.descriptor, text);
    const int link_error =
        written.ok() && ::link(temporary.name.c_str(), name.c_str()) != 0 ? errno : 0;
    ::unlink(temporary.name.c_str());
    if (!written.ok()) return written;
    if (link_error == 0) return IoStatus::success();
    if (link_error == EEXIST) return std::nullopt;
    if (link_error != EPERM && link_error != ENOTSUP && link_error != EOPNOTSUPP) {
        return IoStatus::failure(kind_for(link_error, IoErrorKind::open_failure));
    }

    const int created =
        ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (created >= 0) return write_and_close(created, text);
    if (errno == EEXIST) return std::nullopt;
    return IoStatus::failure(kind_for(errno, IoErrorKind::open_failure));
}

}  // namespace

// ---- LineReader

LineReader::LineReader(const std::string& name, size_t max_line_length)
    : max_line_length_(max_line_length) {
    descriptor_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) {
        open_error_ = kind_for(errno, IoErrorKind::open_failure);
        return;
    }
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0 || S_ISDIR(status.st_mode)) {
        close();
        open_error_ = IoErrorKind::open_failure;
        return;
    }
    opened_ = true;
    buffer_.resize(k_buffer_size);
}

LineReader::~LineReader() {
    close();
}

std::optional<std::string> LineReader::next_line() {
    std::string line;
    bool started = false;
    for (;;) {
        if (position_ == end_ && !refill()) {
            // A read error leaves the last record incomplete: it is not handed out.
            if (started && !read_failed_) return line;
            return std::nullopt;
        }
        if (after_cr_) {
            after_cr_ = false;
            if (buffer_[position_] == '\n') {
                ++position_;
                continue;
            }
        }
        const char* const begin = buffer_.data() + position_;
        const char* const stop = buffer_.data() + end_;
        const char* const line_end =
            std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
        const size_t room = max_line_length_ - std::min(line.size(), max_line_length_);
        line.append(begin, std::min(static_cast<size_t>(line_end - begin), room));
        started = true;
        if (line_end != stop) {
            after_cr_ = *line_end == '\r';
            position_ = static_cast<size_t>(line_end - buffer_.data()) + 1;
            return line;
        }
        position_ = end_;
    }
}

bool LineReader::refill() {
    if (descriptor_ < 0) return false;
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer_.data(), buffer_.size());
        if (count > 0) {
            position_ = 0;
            end_ = static_cast<size_t>(count);
            return true;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) read_failed_ = true;
        // The file is done with: close it now rather than when the reader goes out of scope.
        close();
        return false;
    }
}

void LineReader::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

// ---- whole-file writes and appends

IoStatus write_file_atomically(const std::string& name, std::span<const std::string> lines) {
    const std::string text = joined_lines(lines);

    const TemporaryFile temporary = create_temporary_beside(name);
    int descriptor = temporary.descriptor;
    if (descriptor < 0) return IoStatus::failure(kind_for(errno, IoErrorKind::open_failure));

    const auto fail = [&](IoErrorKind kind) {
        if (descriptor >= 0) ::close(descriptor);
        ::unlink(temporary.name.c_str());
        return IoStatus::failure(kind);
    };

    // The replacement keeps the permissions of the file it replaces.
    struct stat old_status {};
    if (::stat(name.c_str(), &old_status) == 0 && S_ISREG(old_status.st_mode)) {
        ::fchmod(descriptor, old_status.st_mode & 07777);
    }

    if (const WriteOutcome outcome = write_all(descriptor, text); outcome.error != 0) {
        return fail(kind_for(outcome.error, IoErrorKind::write_error));
    }
    if (::fsync(descriptor) != 0) return fail(IoErrorKind::write_error);
    const int closed = ::close(descriptor);
    descriptor = -1;
    if (closed != 0) return fail(IoErrorKind::close_error);
    if (::rename(temporary.name.c_str(), name.c_str()) != 0) {
        return fail(kind_for(errno, IoErrorKind::write_error));
    }
    sync_folder_of(name);
    return IoStatus::success();
}

IoStatus append_record(const std::string& name, std::string_view record_line,
                       std::string_view header_line) {
    std::string record(record_line);
    record += k_line_end;

    // Each round either appends to the existing file or creates it. A create loses a race only
    // to a writer that created the file a moment earlier; the next round then appends to it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Opened for reading too, to look at the last byte; a write-only file is still appended.
        int descriptor = ::open(name.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (descriptor < 0 && errno == EACCES) {
            descriptor = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        }
        if (descriptor >= 0) {
            if (ends_inside_a_line(descriptor)) record.insert(0, k_line_end);
            return write_and_close(descriptor, record, true);
        }
        if (errno != ENOENT) return IoStatus::failure(kind_for(errno, IoErrorKind::open_failure));

        std::string first_lines(header_line);
        first_lines += k_line_end;
        first_lines += record;
        if (const auto created = create_exclusively(name, first_lines)) return *created;
    }
    return IoStatus::failure(IoErrorKind::open_failure);
}

}  // namespace textio
