#pragma once

#include <string>

namespace exporter {

// The progress graph of the log at `log_path` as "Effect from training" draws it in the
// program's graphics window, but for the closing message that asks for a mouse button, whose
// place stays background: the bytes of a PNG picture of the window. Throws textio::IoError when
// the log cannot be read.
std::string graph_png(const std::string& log_path);

}  // namespace exporter
