#include "exporter/log_location.h"

#include <string_view>

#include "results/results_log.h"

namespace exporter {

namespace {

std::optional<std::string> variable(const Environment& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

}  // namespace

std::optional<std::string> default_log_path(const Environment& environment) {
    std::string folder;
    if (const auto home = variable(environment, "PELIDOR_HOME")) {
        folder = *home;
    } else if (const auto data = variable(environment, "XDG_DATA_HOME")) {
        folder = *data + "/pelidor";
    } else if (const auto home_folder = variable(environment, "HOME")) {
        folder = *home_folder + "/.local/share/pelidor";
    } else {
        return std::nullopt;
    }
    return folder + "/" + results::k_log_file;
}

}  // namespace exporter
