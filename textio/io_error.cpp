#include "textio/io_error.h"

#include <utility>

namespace textio {

namespace {

std::string report(IoErrorKind kind, int unit, const std::string& file) {
    return "forrtl: severe (" + std::to_string(static_cast<int>(kind)) +
           "): " + std::string(describe(kind)) + ", unit " + std::to_string(unit) + ", file " +
           file;
}

}  // namespace

std::string_view describe(IoErrorKind kind) {
    switch (kind) {
        case IoErrorKind::permission_denied:
            return "permission to access file denied";
        case IoErrorKind::end_of_file:
            return "end-of-file during read";
        case IoErrorKind::close_error:
            return "close error";
        case IoErrorKind::file_not_found:
            return "file not found";
        case IoErrorKind::open_failure:
            return "open failure";
        case IoErrorKind::write_error:
            return "error during write";
        case IoErrorKind::read_error:
            return "error during read";
        case IoErrorKind::conversion:
            return "input conversion error";
    }
    return "input/output error";
}

IoError::IoError(IoErrorKind kind, int unit, std::string file)
    : std::runtime_error(report(kind, unit, file)),
      kind_(kind),
      unit_(unit),
      file_(std::move(file)) {}

void raise_io_error(IoErrorKind kind, int unit, std::string_view file) {
    throw IoError(kind, unit, std::string(file));
}

}  // namespace textio
