#include "exporter/log_location.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {

GTEST_TEST(LogLocation, IsTheLauncherWorkingFolder) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> variables;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {"PELIDOR_HOME first",
         {{"PELIDOR_HOME", "/p"}, {"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}},
         "/p/pelidor.rtr"},
        {"then XDG_DATA_HOME", {{"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/x/pelidor/pelidor.rtr"},
        {"then the home folder", {{"HOME", "/h"}}, "/h/.local/share/pelidor/pelidor.rtr"},
        {"an empty variable counts as unset",
         {{"PELIDOR_HOME", ""}, {"XDG_DATA_HOME", ""}, {"HOME", "/h"}},
         "/h/.local/share/pelidor/pelidor.rtr"},
        {"a relative PELIDOR_HOME stays relative", {{"PELIDOR_HOME", "work"}}, "work/pelidor.rtr"},
        {"nothing set", {}, std::nullopt},
        {"only an empty HOME", {{"HOME", ""}}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto lookup = [&c](const char* name) -> const char* {
            const auto found = c.variables.find(name);
            return found == c.variables.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(exporter::default_log_path(lookup), c.path);
    }
}

}  // namespace
