#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The fatal input/output error report. A file or conversion error that the program has no
// fallback for ends it with one line, "forrtl: severe (N): <text>, unit U, file F". The error
// travels as an IoError exception to the program's top level, which shows the report and ends.
namespace textio {

// The error number of each kind is the N of the report.
enum class IoErrorKind : int {
    permission_denied = 9,
    end_of_file = 24,
    close_error = 28,
    file_not_found = 29,
    open_failure = 30,
    write_error = 38,
    read_error = 39,
    conversion = 64,
};

// The report's text for the kind, e.g. "end-of-file during read".
std::string_view describe(IoErrorKind kind);

class IoError : public std::runtime_error {
  public:
    IoError(IoErrorKind kind, int unit, std::string file);

    IoErrorKind kind() const { return kind_; }
    int unit() const { return unit_; }
    const std::string& file() const { return file_; }
    // The whole report line, the same text as what().
    std::string message() const { return what(); }

  private:
    IoErrorKind kind_;
    int unit_;
    std::string file_;
};

// The one way to stop the program on an I/O error: throws IoError.
[[noreturn]] void raise_io_error(IoErrorKind kind, int unit, std::string_view file);

}  // namespace textio
