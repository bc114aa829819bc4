#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "results/log_record.h"
#include "state/shared_state.h"

namespace testing_support {

// Tones of one frequency, in order, as (duration, virtual ms from `from_ms`).
using Heard = std::vector<std::pair<int, int64_t>>;
Heard tones_of(const gfx::HeadlessPlatform& platform, int frequency, int64_t from_ms = 0);

// The lines of the results log in the folder, without their CR LF; a log that ends inside a
// line fails the test.
std::vector<std::string> log_lines(const WorkingFolder& folder);

// The first line of every results log. Inline in the header, so that a test file's own globals
// built from it are made after it.
inline const std::string k_log_header =
    "     Date             Time         Distance     MeasureNpresent Ntrue_ans Nerrors "
    "Nno_ans  Av.tim.ans    Npush-ups ";

// Scripted users for the start screen. A click is a press and, 50 ms later, its release; both
// buttons go down together and come up together 100 ms later.
gfx::HeadlessPlatform::ScriptedUser click_at(int64_t ms, int button);
gfx::HeadlessPlatform::ScriptedUser both_buttons_at(int64_t ms);
// Users that act one after the other at every millisecond.
gfx::HeadlessPlatform::ScriptedUser together(
    std::vector<gfx::HeadlessPlatform::ScriptedUser> users);

// One record of the results log as the progress graph reads it back, of either kind; the
// values keep the names the log's records give them.
// The records of the results log in the working folder that the graph draws, in file order.
std::vector<results::LogRecord> log_records();

// The defaults of the parameters dialog: 200 cm, 17.7", 1024 x 768, 100 presentations, 50 s.
constexpr state::Parameters k_default_parameters{200.0f, 17.7f, 1024, 768, 100, 50.0f};

// A story of the whole program on the twin: a fresh run, a working folder with the default
// figure set, a fixed local date and time, and the twin with the real routines behind the
// start screen. The parameters dialog is answered with OK, so the parameter file written
// before the run is what the program trains with.
class ProgramScenario : public ::testing::Test {
  protected:
    ProgramScenario();
    ~ProgramScenario() override;

    // Writes pelidor.vvd as the dialog would.
    void write_parameters(const state::Parameters& parameters) const;

    // Runs the program, start-up hook included, with `user` at the mouse, until it ends or the
    // virtual clock reaches `time_limit` seconds.
    gfx::RunOutcome run(gfx::HeadlessPlatform::ScriptedUser user, double time_limit = 120);

    // Tones of one frequency heard in the run, from its start.
    Heard tones_of(int frequency) const { return testing_support::tones_of(platform, frequency); }
    std::vector<std::string> log_lines() const { return testing_support::log_lines(folder); }

    WorkingFolder folder;
    gfx::HeadlessPlatform platform;
};

}  // namespace testing_support
