#include "exporter/command_line.h"

namespace exporter {

namespace {

constexpr std::string_view k_log_option = "--log";

bool is_option_like(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

}  // namespace

std::optional<Command> parse_command_line(std::span<const std::string_view> arguments) {
    if (arguments.size() == 1) {
        if (arguments[0] == "--help" || arguments[0] == "-h") return Command{Action::help, {}, {}};
        if (arguments[0] == "--version" || arguments[0] == "-V") {
            return Command{Action::version, {}, {}};
        }
    }

    Command command;
    std::size_t next = 0;
    if (next < arguments.size() && arguments[next].starts_with(k_log_option)) {
        const std::string_view option = arguments[next];
        if (option == k_log_option && next + 1 < arguments.size()) {
            command.log = std::string(arguments[next + 1]);
            next += 2;
        } else if (option.size() > k_log_option.size() && option[k_log_option.size()] == '=') {
            command.log = std::string(option.substr(k_log_option.size() + 1));
            next += 1;
        } else {
            return std::nullopt;
        }
        if (command.log->empty()) return std::nullopt;
    }

    if (arguments.size() - next != 2) return std::nullopt;
    if (arguments[next] == "graph") {
        command.action = Action::graph;
    } else if (arguments[next] == "csv") {
        command.action = Action::csv;
    } else {
        return std::nullopt;
    }
    // A FILE that looks like an option is more likely a mistyped option than a file name; a
    // file of such a name can still be written as ./-name.
    const std::string_view output = arguments[next + 1];
    if (output.empty() || is_option_like(output)) return std::nullopt;
    command.output = std::string(output);
    return command;
}

std::string_view usage_text() {
    return "Usage: pelidor-export [--log PATH] graph FILE.png\n"
           "       pelidor-export [--log PATH] csv FILE.csv\n"
           "       pelidor-export --help | --version\n"
           "\n"
           "Writes the results of PELIDOR without a display: \"graph\" the progress graph as a\n"
           "PNG picture of 980 x 650 pixels, as \"Effect from training\" shows it; \"csv\" one\n"
           "row per record of the graph, as comma-separated values. FILE - is the standard\n"
           "output.\n"
           "\n"
           "The results log read is pelidor.rtr in $PELIDOR_HOME, or else in\n"
           "$XDG_DATA_HOME/pelidor, or else in ~/.local/share/pelidor; --log PATH reads\n"
           "another one. The log is only read.\n"
           "\n"
           "  --log PATH     read this results log\n"
           "  -h, --help     print this help and exit\n"
           "  -V, --version  print the version and exit\n"
           "\n"
           "Manual page: man pelidor-export.\n";
}

}  // namespace exporter
