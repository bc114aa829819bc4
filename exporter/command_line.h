#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The command line of pelidor-export: [--log PATH] graph|csv FILE, or --help, or --version.
namespace exporter {

enum class Action { help, version, graph, csv };

struct Command {
    Action action = Action::help;
    std::optional<std::string> log;  // --log PATH; else the working folder's log
    std::string output;              // FILE as typed; "-" is the standard output
};

// The command the arguments (without the program's name) ask for, or nothing when they are
// not understood.
std::optional<Command> parse_command_line(std::span<const std::string_view> arguments);

std::string_view usage_text();

}  // namespace exporter
