// A user ends the program from the start screen with both buttons, or with "Exit".

#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "program_scenario.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;

using ProgramEndStory = testing_support::ProgramScenario;

GTEST_TEST_F(ProgramEndStory, BothButtonsOnTheStartScreenEndTheProgramOnceTheyAreUp) {
    // The first picture is grey from 0 to 1 s and held from 1 s to 6 s; the second is grey
    // from 6 s on. Both buttons are taken at the next poll of the picture, which waits for
    // them to come up 100 ms after they went down.
    struct Case {
        const char* what;
        int64_t pressed_ms;
    };
    const Case cases[] = {
        {"during the first hold", 3000},
        {"during the second picture's grey second", 6500},
        {"while the fourth picture is held", 21000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::reset_program_state();
        HeadlessPlatform program;
        program.set_user(testing_support::both_buttons_at(c.pressed_ms));
        program.set_time_limit(60);
        const RunOutcome outcome = testing_support::run_program(program, app::default_routines());
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_GE(outcome.at_seconds, (c.pressed_ms + 100) / 1000.0) << "not before both are up";
        EXPECT_LE(outcome.at_seconds, (c.pressed_ms + 1200) / 1000.0);
        EXPECT_TRUE(program.unit_closed(1));
        EXPECT_TRUE(program.tones().empty());
        EXPECT_FALSE(folder.exists("pelidor.rtr"));
    }
}

GTEST_TEST_F(ProgramEndStory, ExitFromTheMenuEndsTheProgramAtOnce) {
    const RunOutcome outcome = run([](HeadlessPlatform& platform) {
        if (platform.now_ms() == 3456)
            platform.choose(testing_support::menu_position(platform, "Exit"));
    });
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    // The window closes, a silent 350 ms tone plays, and the program stops.
    EXPECT_TRUE(platform.unit_closed(1));
    EXPECT_EQ(tones_of(0), (testing_support::Heard{{350, 3456}}));
    EXPECT_NEAR(outcome.at_seconds, 3.456 + 0.35, 0.002);
    EXPECT_FALSE(folder.exists("pelidor.rtr"));
    // The parameters the user began with are kept.
    EXPECT_TRUE(folder.exists("pelidor.vvd"));
}

}  // namespace
