#pragma once

#include <functional>
#include <optional>
#include <string>

namespace exporter {

// Reads an environment variable: its value, or null when it is not set.
using Environment = std::function<const char*(const char* name)>;

// The results log of the working folder that the installed command pelidor uses: pelidor.rtr
// in $PELIDOR_HOME, else in $XDG_DATA_HOME/pelidor, else in $HOME/.local/share/pelidor. A
// variable set to the empty text counts as not set, as in the launcher. Nothing when not even
// HOME is set.
std::optional<std::string> default_log_path(const Environment& environment);

}  // namespace exporter
