#include "exporter/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

namespace {

using exporter::Action;

std::optional<exporter::Command> parse(std::vector<std::string_view> arguments) {
    return exporter::parse_command_line(arguments);
}

GTEST_TEST(CommandLine, TakesTheCommandsItKnows) {
    struct Case {
        const char* what;
        std::vector<std::string_view> arguments;
        Action action;
        std::optional<std::string> log;
        std::string output;
    };
    const Case cases[] = {
        {"help", {"--help"}, Action::help, {}, ""},
        {"short help", {"-h"}, Action::help, {}, ""},
        {"version", {"--version"}, Action::version, {}, ""},
        {"short version", {"-V"}, Action::version, {}, ""},
        {"graph of the working folder's log", {"graph", "out.png"}, Action::graph, {}, "out.png"},
        {"csv to the standard output", {"csv", "-"}, Action::csv, {}, "-"},
        {"another log", {"--log", "a/b.rtr", "csv", "x.csv"}, Action::csv, "a/b.rtr", "x.csv"},
        {"another log, joined", {"--log=b.rtr", "graph", "g"}, Action::graph, "b.rtr", "g"},
        {"a file named like an action", {"csv", "graph"}, Action::csv, {}, "graph"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto command = parse(c.arguments);
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(command->action, c.action);
        EXPECT_EQ(command->log, c.log);
        EXPECT_EQ(command->output, c.output);
    }
}

GTEST_TEST(CommandLine, RefusesWhatItDoesNotUnderstand) {
    struct Case {
        const char* what;
        std::vector<std::string_view> arguments;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"an action without a file", {"graph"}},
        {"an unknown action", {"pdf", "x.pdf"}},
        {"two files", {"csv", "a.csv", "b.csv"}},
        {"help with more", {"--help", "csv"}},
        {"version after an action", {"csv", "x", "--version"}},
        {"--log without a path", {"--log"}},
        {"--log with an empty path", {"--log", "", "csv", "x"}},
        {"--log= empty", {"--log=", "csv", "x"}},
        {"--log after the action", {"csv", "x", "--log", "y"}},
        {"an unknown option", {"--logs", "y", "csv", "x"}},
        {"a file that looks like an option", {"csv", "--output"}},
        {"an empty file name", {"graph", ""}},
        {"Qt's options are not this program's", {"-platform", "offscreen"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(parse(c.arguments).has_value());
    }
}

}  // namespace
