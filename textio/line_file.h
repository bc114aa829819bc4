#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "textio/io_error.h"

// Text files of one record per line, lines ending in CR LF. Files are named without a path, in
// the working directory, and are opened right before use and closed right after: a reader holds
// its file only while it lives, and each write opens, writes and closes in one call.
namespace textio {

// The outcome of a file operation: success, or the kind of I/O error that stopped it, ready
// for raise_io_error where the caller has no fallback.
class IoStatus {
  public:
    static IoStatus success() { return IoStatus(std::nullopt); }
    static IoStatus failure(IoErrorKind kind) { return IoStatus(kind); }

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    // The error of a failed operation; meaningless when ok().
    IoErrorKind error() const { return error_.value_or(IoErrorKind::open_failure); }

  private:
    explicit IoStatus(std::optional<IoErrorKind> error) : error_(error) {}
    std::optional<IoErrorKind> error_;
};

// Reads a file record by record without holding more than one buffer and one line in memory.
// A record ends at CR LF, at a lone LF, or at a lone CR (files from systems that end lines
// with CR alone); a last line without an ending is still a record. Bytes are passed through
// unchanged, NULs included.
class LineReader {
  public:
    // Longer lines are cut to this length and the rest of the record is skipped, so a file
    // without line ends cannot make the reader take unbounded memory.
    static constexpr size_t k_default_max_line_length = size_t{1} << 20;

    explicit LineReader(const std::string& name,
                        size_t max_line_length = k_default_max_line_length);
    ~LineReader();
    // A reader stays with the scope that opened its file.
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False when the file could not be opened; open_error() then says why (file_not_found
    // when it does not exist).
    bool is_open() const { return opened_; }
    IoErrorKind open_error() const { return open_error_; }

    // The next record without its line end, or nothing at the end of the file. A read error
    // also ends the records; read_failed() then tells it apart from a true end of file.
    std::optional<std::string> next_line();
    bool read_failed() const { return read_failed_; }

  private:
    bool refill();
    void close();

    int descriptor_ = -1;
    bool opened_ = false;
    IoErrorKind open_error_ = IoErrorKind::open_failure;
    bool read_failed_ = false;
    size_t max_line_length_;
    std::vector<char> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool after_cr_ = false;  // the last record ended at a CR: an LF right after it belongs to it
};

// Replaces the file `name` with `lines`, each ending in CR LF. The text goes to a temporary
// file in the same folder (see textio/temporary_file.h), is flushed to the disk and then renamed
// over the old file, so a crash leaves either the old or the new contents, never a mixture. On
// failure the old file is untouched and no temporary file remains. Temporaries that killed
// writers left beside the file are swept first.
IoStatus write_file_atomically(const std::string& name, std::span<const std::string> lines);

// Replaces the file `name` with `bytes`, written as they are, in the same way.
IoStatus write_bytes_atomically(const std::string& name, std::string_view bytes);

// Appends `record_line` plus CR LF to the file `name` with a single write on a file opened for
// appending, so concurrent writers never interleave within a line, and syncs it before it
// returns: a record reported as written survives a power cut. When the file does not exist it
// is created, exclusively, already holding `header_line` and the record: of two writers racing
// to create it, only the one whose create succeeded writes the header, and the other's record
// comes after it; the new file and then its folder are synced. A file that exists but is empty
// gets no header. When the file's last line has no line end (a write cut short earlier), one is
// added first, so the record still starts a line of its own. A failed write or sync leaves the
// file as it was (a file this call created is removed again), unless another writer appended
// to it in the meantime. Temporaries that killed writers left beside the file are swept first.
IoStatus append_record(const std::string& name, std::string_view record_line,
                       std::string_view header_line);

}  // namespace textio
