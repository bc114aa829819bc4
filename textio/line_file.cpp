#include "textio/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "textio/file_sync.h"
#include "textio/temporary_file.h"

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

// Takes back the part of an append that got in before it failed, so that a log on a full disk
// or a failing one does not end inside a record, or hold one, that the caller was told was not
// written. The file is cut only while the failed record is still its end: a record another
// writer appended after it is never touched.
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

// Makes the writes on `descriptor` durable. Returns 0, or the errno of the failed sync. A file
// that cannot be synced at all (a device, a pipe) has nothing that a sync could keep.
int sync_error(int descriptor, SyncTarget target) {
    const int error = sync_to_disk(descriptor, target);
    return error == EINVAL || error == EROFS ? 0 : error;
}

// Makes a rename or a link in the folder of `name` survive a crash. Returns 0, or the errno of
// the failed sync. A folder that cannot be opened to be synced is not an error: the file
// itself is written, and nothing else could be done about it.
int sync_folder_of(const std::string& name) {
    const std::filesystem::path parent = std::filesystem::path(name).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return 0;
    const int error = sync_error(descriptor, SyncTarget::folder);
    ::close(descriptor);
    return error;
}

// Appends `text` to the open file and makes it durable, then closes the file. A failed write
// or sync takes back what got in.
IoStatus append_durably_and_close(int descriptor, std::string_view text) {
    WriteOutcome outcome = write_all(descriptor, text);
    if (outcome.error == 0) outcome.error = sync_error(descriptor, SyncTarget::file_data);
    if (outcome.error != 0) take_back_partial_append(descriptor, outcome.written);
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

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<FileIdentity> identity_of(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

// Removes the name a failed creation gave to its file, so that the log is as it was before:
// missing. Only while the name is still that file, unchanged since it was written: a record
// another writer appended in the meantime keeps the file.
void take_back_creation(const std::string& name, std::optional<FileIdentity> created, size_t size) {
    struct stat status {};
    if (!created || ::lstat(name.c_str(), &status) != 0) return;
    if (status.st_dev == created->device && status.st_ino == created->inode &&
        status.st_size == static_cast<off_t>(size)) {
        ::unlink(name.c_str());
    }
}

// Creates the file `name` holding `text`, unless it exists. Returns nothing when another writer
// created it first. The text is written to a private file, made durable, and then linked under
// the name, which succeeds only when no file has that name: the file thus appears with its
// first lines already in it, so a writer appending at the same moment cannot put its record
// before the header. The folder is synced after the link, so that the new name survives a
// crash too. Where the file system has no hard links, the file is created exclusively and
// written in one go. A failure at any step leaves no file under the name.
std::optional<IoStatus> create_exclusively(const std::string& name, std::string_view text) {
    std::optional<FileIdentity> created;
    bool linked = false;
    {
        TemporaryFile temporary(name);
        if (!temporary.created()) {
            return IoStatus::failure(kind_for(temporary.create_error(), IoErrorKind::open_failure));
        }
        created = identity_of(temporary.descriptor());
        int error = write_all(temporary.descriptor(), text).error;
        if (error == 0) error = sync_error(temporary.descriptor(), SyncTarget::whole_file);
        const int close_error = temporary.close_descriptor();
        if (error != 0) return IoStatus::failure(kind_for(error, IoErrorKind::write_error));
        if (close_error != 0) return IoStatus::failure(IoErrorKind::close_error);
        if (::link(temporary.name().c_str(), name.c_str()) != 0) {
            const int link_error = errno;
            if (link_error == EEXIST) return std::nullopt;
            if (link_error != EPERM && link_error != ENOTSUP && link_error != EOPNOTSUPP) {
                return IoStatus::failure(kind_for(link_error, IoErrorKind::open_failure));
            }
        } else {
            linked = true;
        }
        // The temporary's name is removed at the end of this block, before the folder's sync,
        // which thus keeps the removal too.
    }
    if (linked) {
        if (const int error = sync_folder_of(name); error != 0) {
            take_back_creation(name, created, text.size());
            return IoStatus::failure(kind_for(error, IoErrorKind::write_error));
        }
        return IoStatus::success();
    }

    const int descriptor =
        ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (errno == EEXIST) return std::nullopt;
        return IoStatus::failure(kind_for(errno, IoErrorKind::open_failure));
    }
    created = identity_of(descriptor);
    WriteOutcome outcome = write_all(descriptor, text);
    if (outcome.error == 0) outcome.error = sync_error(descriptor, SyncTarget::whole_file);
    const bool closed = ::close(descriptor) == 0;
    if (outcome.error == 0) outcome.error = sync_folder_of(name);
    if (outcome.error != 0) {
        take_back_creation(name, created, outcome.written);
        return IoStatus::failure(kind_for(outcome.error, IoErrorKind::write_error));
    }
    if (!closed) return IoStatus::failure(IoErrorKind::close_error);
    return IoStatus::success();
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
    return write_bytes_atomically(name, joined_lines(lines));
}

IoStatus write_bytes_atomically(const std::string& name, std::string_view text) {
    remove_stale_temporaries(name);
    TemporaryFile temporary(name);
    if (!temporary.created()) {
        return IoStatus::failure(kind_for(temporary.create_error(), IoErrorKind::open_failure));
    }
    const int descriptor = temporary.descriptor();

    // The replacement keeps the permissions of the file it replaces.
    struct stat old_status {};
    if (::stat(name.c_str(), &old_status) == 0 && S_ISREG(old_status.st_mode)) {
        ::fchmod(descriptor, old_status.st_mode & 07777);
    }

    if (const WriteOutcome outcome = write_all(descriptor, text); outcome.error != 0) {
        return IoStatus::failure(kind_for(outcome.error, IoErrorKind::write_error));
    }
    if (sync_to_disk(descriptor, SyncTarget::whole_file) != 0) {
        return IoStatus::failure(IoErrorKind::write_error);
    }
    if (temporary.close_descriptor() != 0) return IoStatus::failure(IoErrorKind::close_error);
    if (::rename(temporary.name().c_str(), name.c_str()) != 0) {
        return IoStatus::failure(kind_for(errno, IoErrorKind::write_error));
    }
    temporary.moved();
    // Best effort: the new contents are complete on the disk under one name or the other, so
    // a failure here loses nothing that a crash would not.
    sync_folder_of(name);
    return IoStatus::success();
}

IoStatus append_record(const std::string& name, std::string_view record_line,
                       std::string_view header_line) {
    std::string record(record_line);
    record += k_line_end;
    // Temporaries of earlier creations go first, also those of a creation killed after its
    // link, which left the log in place and its temporary beside it.
    remove_stale_temporaries(name);

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
            return append_durably_and_close(descriptor, record);
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
