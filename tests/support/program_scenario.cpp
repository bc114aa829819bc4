#include "program_scenario.h"

#include <cmath>
#include <variant>

#include "app/main_program.h"
#include "params/parameter_file.h"
#include "results/log_reader.h"
#include "results/log_record.h"

namespace testing_support {

Heard tones_of(const gfx::HeadlessPlatform& platform, int frequency, int64_t from_ms) {
    Heard heard;
    for (const gfx::ToneRecord& tone : platform.tones()) {
        if (tone.frequency == frequency)
            heard.emplace_back(tone.duration_ms, std::llround(tone.at_seconds * 1000) - from_ms);
    }
    return heard;
}

std::vector<std::string> log_lines(const WorkingFolder& folder) {
    std::vector<std::string> lines;
    const std::string text = folder.read("pelidor.rtr");
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        lines.push_back(text.substr(begin, end - begin));
    }
    EXPECT_EQ(begin, text.size()) << "the log ends inside a line";
    return lines;
}

gfx::HeadlessPlatform::ScriptedUser click_at(int64_t ms, int button) {
    return [=](gfx::HeadlessPlatform& platform) {
        if (platform.now_ms() == ms) platform.press(button);
        if (platform.now_ms() == ms + 50) platform.release(button);
    };
}

gfx::HeadlessPlatform::ScriptedUser both_buttons_at(int64_t ms) {
    return [=](gfx::HeadlessPlatform& platform) {
        if (platform.now_ms() == ms) {
            platform.press(gfx::k_key_left);
            platform.press(gfx::k_key_right);
        }
        if (platform.now_ms() == ms + 100) {
            platform.release(gfx::k_key_left);
            platform.release(gfx::k_key_right);
        }
    };
}

gfx::HeadlessPlatform::ScriptedUser together(
    std::vector<gfx::HeadlessPlatform::ScriptedUser> users) {
    return [users = std::move(users)](gfx::HeadlessPlatform& platform) {
        for (const auto& user : users) user(platform);
    };
}

std::vector<results::LogRecord> log_records() {
    std::vector<results::LogRecord> records;
    const auto failure = results::read_log(
        "pelidor.rtr", [&records](const results::LogRecord& read) { records.push_back(read); });
    EXPECT_FALSE(failure.has_value()) << "the log cannot be read";
    return records;
}

ProgramScenario::ProgramScenario() {
    reset_program_state();
    folder.install_default_figures();
    platform.set_date({2010, 3, 5});
    platform.set_time({14, 7, 9, 42});
}

ProgramScenario::~ProgramScenario() {
    reset_program_state();
}

void ProgramScenario::write_parameters(const state::Parameters& parameters) const {
    const textio::IoStatus written = params::write_parameter_file(parameters);
    EXPECT_TRUE(written.ok()) << "the parameter file cannot be written";
}

gfx::RunOutcome ProgramScenario::run(gfx::HeadlessPlatform::ScriptedUser user, double time_limit) {
    platform.set_user(std::move(user));
    platform.set_time_limit(time_limit);
    return run_program(platform, app::default_routines());
}

}  // namespace testing_support
