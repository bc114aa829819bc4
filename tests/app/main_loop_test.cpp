#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using app::PollPoint;
using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::RecordingRoutines;
using testing_support::RoutineCall;
using testing_support::run_program;
using testing_support::shown_stripe_width;
using testing_support::WorkingFolder;

class MainLoopTest : public ::testing::Test {
  protected:
    MainLoopTest() {
        testing_support::reset_program_state();
        folder.install_default_figures();
    }

    // Runs the program with `user` until the virtual clock reaches `seconds`.
    RunOutcome run_for(double seconds, HeadlessPlatform::ScriptedUser user = {}) {
        platform.set_time_limit(seconds);
        // Records each new picture's size the moment it appears.
        platform.set_user([this, user](HeadlessPlatform& s) {
            const int width = shown_stripe_width(s);
            if (width != 0 && width != last_width) sizes.push_back(width);
            last_width = width;
            if (user) user(s);
        });
        return run_program(platform, routines.make(platform));
    }

    WorkingFolder folder;
    HeadlessPlatform platform;
    RecordingRoutines routines;
    std::vector<int> sizes;
    int last_width = 0;
};

// Presses and releases a button at a moment of virtual time.
HeadlessPlatform::ScriptedUser click_at(double seconds, int button, int modifiers = 0) {
    return [=](HeadlessPlatform& s) {
        if (s.now_ms() == static_cast<int64_t>(seconds * 1000)) s.press(button, modifiers);
        if (s.now_ms() == static_cast<int64_t>(seconds * 1000) + 50) s.release(button, modifiers);
    };
}

GTEST_TEST_F(MainLoopTest, WithoutInputSizesRunUpAndDownWithoutRepeatingAtTheTurns) {
    // Each picture takes 1 s of grey and a 5.0 s hold on the virtual clock.
    const RunOutcome outcome = run_for(16 * 6.0 - 0.5);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::time_limit);
    const std::vector<int> expected = {2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 3};
    EXPECT_EQ(sizes, expected);
    EXPECT_TRUE(routines.calls.empty());
}

GTEST_TEST_F(MainLoopTest, EachPictureIsGreyForASecondThenHeldAtLeastFiveSeconds) {
    std::vector<double> grey_starts;
    std::vector<double> picture_starts;
    bool was_grey = false;
    run_for(20.0, [&](HeadlessPlatform& s) {
        const bool grey = s.pixel(500, 300) == 0x808080;
        if (grey && !was_grey) grey_starts.push_back(s.now());
        if (!grey && was_grey) picture_starts.push_back(s.now());
        was_grey = grey;
    });
    ASSERT_GE(grey_starts.size(), 3u);
    ASSERT_GE(picture_starts.size(), 2u);
    for (std::size_t i = 0; i + 1 < grey_starts.size() && i < picture_starts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(picture_starts[i] - grey_starts[i], 1.0, 0.002);
        const double hold = grey_starts[i + 1] - picture_starts[i];
        EXPECT_GE(hold, 5.0 - 1e-9);
        EXPECT_LE(hold, 5.25);
    }
}

GTEST_TEST_F(MainLoopTest, LeftClickInTheHoldTrainsWithTheSizeShownThenRestartsThePass) {
    // Size 6 is the fifth picture: it is complete after about 4 × 6.2 + 1 seconds.
    double click = 0;
    run_for(60.0, [&](HeadlessPlatform& s) {
        if (click == 0 && shown_stripe_width(s) == 6 && s.now() > 20) click = s.now() + 2.0;
        if (click != 0) click_at(click, gfx::k_key_left)(s);
    });
    ASSERT_EQ(routines.calls.size(), 1u);
    EXPECT_EQ(routines.calls[0].kind, RoutineCall::Kind::training);
    EXPECT_EQ(routines.calls[0].size, 6);
    // The click is taken at the next 200 ms hold check.
    EXPECT_GE(routines.calls[0].at_seconds, click + 0.05);
    EXPECT_LE(routines.calls[0].at_seconds, click + 0.25);
    // After the exercise the first pass begins again from 2.
    const auto six = std::find(sizes.begin(), sizes.end(), 6);
    ASSERT_NE(six, sizes.end());
    ASSERT_NE(six + 1, sizes.end());
    EXPECT_EQ(*(six + 1), 2);
    EXPECT_EQ(state::load(state::run().MBUTTON), 0);
}

GTEST_TEST_F(MainLoopTest, LeftClickDuringTheGreyBlankTrainsWithTheSizeLastDrawn) {
    // The click falls in the grey second before size 3; the check after the background takes
    // it, before the figure of size 3 is drawn, so the exercise gets size 2.
    run_for(12.0, click_at(6.6, gfx::k_key_left));
    ASSERT_EQ(routines.calls.size(), 1u);
    EXPECT_EQ(routines.calls[0].size, 2);
    EXPECT_NEAR(routines.calls[0].at_seconds, 7.0, 0.002);
}

GTEST_TEST_F(MainLoopTest, RightClickServesTheSightCheckAndRestartsTheCurrentPass) {
    run_for(30.0, click_at(9.0, gfx::k_key_right));
    ASSERT_EQ(routines.calls.size(), 1u);
    EXPECT_EQ(routines.calls[0].kind, RoutineCall::Kind::sight_check);
    EXPECT_EQ(routines.calls[0].size, 980);
    EXPECT_EQ(routines.calls[0].height, 650);
    // 2, 3, then the pass starts again at 2.
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes[0], 2);
    EXPECT_EQ(sizes[1], 3);
    EXPECT_EQ(sizes[2], 2);
}

GTEST_TEST_F(MainLoopTest, RightClickInAFallingPassRestartsItAtEight) {
    // The falling pass starts after the 8 sizes of the first pass (48 s); the click comes
    // in the grey second before its fourth picture.
    run_for(80.0, click_at(66.2, gfx::k_key_right));
    ASSERT_EQ(routines.calls.size(), 1u);
    const std::vector<int> expected = {2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 8, 7};
    ASSERT_GE(sizes.size(), expected.size());
    EXPECT_EQ(std::vector<int>(sizes.begin(), sizes.begin() + expected.size()), expected);
}

GTEST_TEST_F(MainLoopTest, GraphRequestFromTheMenuIsServedWithinOneHoldCheck) {
    run_for(12.0, [](HeadlessPlatform& s) {
        if (s.now_ms() == 3000) s.choose(2);
    });
    ASSERT_EQ(routines.calls.size(), 1u);
    EXPECT_EQ(routines.calls[0].kind, RoutineCall::Kind::progress_graph);
    EXPECT_LE(routines.calls[0].at_seconds, 3.2 + 0.001);
    EXPECT_EQ(state::load(state::run().MODEREQ), 0);
}

GTEST_TEST_F(MainLoopTest, GraphRequestedDuringTheSightCheckIsDrawnRightAfterIt) {
    bool chosen = false;
    routines.during_call = [&chosen](HeadlessPlatform& s) {
        if (!chosen) s.choose(2);
        chosen = true;
    };
    run_for(20.0, click_at(9.0, gfx::k_key_right));
    ASSERT_GE(routines.calls.size(), 2u);
    EXPECT_EQ(routines.calls[0].kind, RoutineCall::Kind::sight_check);
    EXPECT_EQ(routines.calls[1].kind, RoutineCall::Kind::progress_graph);
    EXPECT_DOUBLE_EQ(routines.calls[0].at_seconds, routines.calls[1].at_seconds);
}

GTEST_TEST_F(MainLoopTest, BothButtonsEndTheProgramOnlyAfterBothAreReleased) {
    const RunOutcome outcome = run_for(30.0, [](HeadlessPlatform& s) {
        if (s.now_ms() == 8000) s.press(gfx::k_key_left);
        if (s.now_ms() == 8010) s.press(gfx::k_key_right);
        if (s.now_ms() == 9000) s.release(gfx::k_key_left);
        if (s.now_ms() == 12000) s.release(gfx::k_key_right);
    });
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_GE(outcome.at_seconds, 12.0);
    EXPECT_LE(outcome.at_seconds, 12.01);
    EXPECT_TRUE(platform.unit_closed(1));
    EXPECT_TRUE(routines.calls.empty());
}

GTEST_TEST_F(MainLoopTest, ExitDuringAHoldEndsAtOnceWithTheSilentBeep) {
    const RunOutcome outcome = run_for(30.0, [](HeadlessPlatform& s) {
        if (s.now_ms() == 4321) s.choose(1);
    });
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_NEAR(outcome.at_seconds, 4.321 + 0.35, 0.002);
    EXPECT_TRUE(platform.unit_closed(1));
    ASSERT_FALSE(platform.tones().empty());
    EXPECT_EQ(platform.tones().back().frequency, 0);
    EXPECT_EQ(platform.tones().back().duration_ms, 350);
}

GTEST_TEST_F(MainLoopTest, ClickWithShiftOrCtrlHeldIsThePlainClick) {
    struct Case {
        const char* what;
        int modifiers;
    };
    const Case cases[] = {{"shift", gfx::k_key_shift}, {"ctrl", gfx::k_key_ctrl}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::reset_program_state();
        HeadlessPlatform fresh;
        RecordingRoutines recorded;
        fresh.set_time_limit(12.0);
        fresh.set_user(click_at(9.0, gfx::k_key_left, c.modifiers));
        run_program(fresh, recorded.make(fresh));
        ASSERT_EQ(recorded.calls.size(), 1u);
        EXPECT_EQ(recorded.calls[0].kind, RoutineCall::Kind::training);
    }
}

GTEST_TEST_F(MainLoopTest, BothButtonsLeftFromAnExerciseAreClearedByTheLoop) {
    // The exercise returns with both buttons latched: after it the loop clears MBUTTON, so the
    // start screen goes on instead of ending the program.
    routines.during_call = [](HeadlessPlatform& s) {
        s.press(gfx::k_key_left);
        s.press(gfx::k_key_right);
        s.release(gfx::k_key_left);
        s.release(gfx::k_key_right);
    };
    const RunOutcome outcome = run_for(25.0, click_at(9.0, gfx::k_key_left));
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::time_limit);
    EXPECT_EQ(routines.calls.size(), 1u);
}

// ---- the checks at the poll points, driven with a prepared shared state

// What the checks at one poll point did.
enum class Fired { nothing, request, both, right, left };

const char* name(Fired fired) {
    switch (fired) {
        case Fired::nothing:
            return "nothing";
        case Fired::request:
            return "REQUEST";
        case Fired::both:
            return "BOTH";
        case Fired::right:
            return "RIGHT";
        case Fired::left:
            return "LEFT";
    }
    return "?";
}

struct SharedState {
    int32_t MBUTTON, MEVENT, MDOWN, MODEREQ;
};

class MainLoopChecksTest : public ::testing::Test {
  protected:
    MainLoopChecksTest() {
        testing_support::reset_program_state();
        testing_support::open_trainer(platform);
    }
    ~MainLoopChecksTest() override { testing_support::reset_program_state(); }

    // Runs the checks of one poll point (none: the hold check) on the prepared state and tells
    // which check fired, from what it left behind: BOTH ends the program, LEFT trains, RIGHT
    // posts the sight-check request, REQUEST restarts with the pending request untouched.
    Fired run_checks(std::optional<PollPoint> point, const SharedState& prepared) {
        state::store(state::run().MBUTTON, prepared.MBUTTON);
        state::store(state::run().MEVENT, prepared.MEVENT);
        state::store(state::run().MDOWN, prepared.MDOWN);
        state::store(state::run().MODEREQ, prepared.MODEREQ);
        routines.calls.clear();
        bool restarted = false;
        try {
            restarted = point ? loop.checks_at(*point) : loop.hold_check();
        } catch (const gfx::ProgramEnded& ended) {
            EXPECT_EQ(ended.status, 0);
            EXPECT_TRUE(platform.unit_closed(1));
            return Fired::both;
        }
        if (!routines.calls.empty()) {
            EXPECT_TRUE(restarted);
            EXPECT_EQ(routines.calls.size(), 1u);
            EXPECT_EQ(routines.calls[0].kind, RoutineCall::Kind::training);
            return Fired::left;
        }
        if (!restarted) {
            EXPECT_EQ(state::load(state::run().MODEREQ), prepared.MODEREQ);
            return Fired::nothing;
        }
        if (prepared.MODEREQ == 0 && state::load(state::run().MODEREQ) == 1) return Fired::right;
        EXPECT_EQ(state::load(state::run().MODEREQ), prepared.MODEREQ);
        return Fired::request;
    }

    HeadlessPlatform platform;
    RecordingRoutines routines;
    const app::Routines made = routines.make(platform);
    app::MainLoop loop{platform.canvas(), made};
};

GTEST_TEST_F(MainLoopChecksTest, EachPollPointRunsItsChecksInItsOrder) {
    // The columns: row check (image mode), background check (image mode), row check (direct
    // mode), figure check (image mode), point check (direct mode), hold check. Their checks:
    // BOTH; REQUEST BOTH RIGHT LEFT; REQUEST BOTH RIGHT LEFT; BOTH REQUEST RIGHT;
    // BOTH REQUEST RIGHT; REQUEST BOTH RIGHT LEFT.
    const std::optional<PollPoint> points[] = {
        PollPoint::image_row,    PollPoint::image_background, PollPoint::direct_row,
        PollPoint::image_figure, PollPoint::direct_point,     std::nullopt,
    };
    const char* point_names[] = {"image row",    "image background", "direct row",
                                 "image figure", "direct point",     "hold"};
    using F = Fired;
    struct Case {
        const char* what;
        SharedState state;  // MBUTTON, MEVENT, MDOWN, MODEREQ
        std::array<Fired, 6> fired;
    };
    const Case cases[] = {
        {"nothing happened",
         {0, 0, 0, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
        {"graph request",
         {0, 0, 0, 3},
         {F::nothing, F::request, F::request, F::request, F::request, F::request}},
        {"sight-check request",
         {0, 0, 0, 1},
         {F::nothing, F::request, F::request, F::request, F::request, F::request}},
        {"both buttons, released",
         {3, 1, 0, 0},
         {F::both, F::both, F::both, F::both, F::both, F::both}},
        {"completed right click",
         {2, 1, 0, 0},
         {F::nothing, F::right, F::right, F::right, F::right, F::right}},
        {"completed left click",
         {1, 1, 0, 0},
         {F::nothing, F::left, F::left, F::nothing, F::nothing, F::left}},
        {"both buttons and a graph request: the first check decides",
         {3, 1, 0, 3},
         {F::both, F::request, F::request, F::both, F::both, F::request}},
        {"right click and a graph request",
         {2, 1, 0, 3},
         {F::nothing, F::request, F::request, F::request, F::request, F::request}},
        {"left click and a graph request",
         {1, 1, 0, 3},
         {F::nothing, F::request, F::request, F::request, F::request, F::request}},
        {"left button still held",
         {1, 1, 1, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
        {"right button still held",
         {2, 1, 2, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
        {"left code left over without a new press",
         {1, 0, 0, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
        {"right code left over without a new press",
         {2, 0, 0, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
        {"latched code of a click with Shift",
         {5, 1, 0, 0},
         {F::nothing, F::nothing, F::nothing, F::nothing, F::nothing, F::nothing}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < std::size(points); ++i) {
            SCOPED_TRACE(std::string(c.what) + " at the " + point_names[i] + " check");
            const Fired fired = run_checks(points[i], c.state);
            EXPECT_EQ(fired, c.fired[i]) << name(fired) << " instead of " << name(c.fired[i]);
        }
    }
}

GTEST_TEST_F(MainLoopChecksTest, LeftClickTrainsWithTheSizeLastDrawn) {
    const RoutineCall::Kind training = RoutineCall::Kind::training;
    ASSERT_EQ(run_checks(PollPoint::direct_row, {1, 1, 0, 0}), Fired::left);
    EXPECT_EQ(routines.calls[0].kind, training);
    // No picture was drawn by this loop yet: the size shown is the first one, 2.
    EXPECT_EQ(routines.calls[0].size, 2);
}

GTEST_TEST_F(MainLoopChecksTest, AfterTrainingTheHoldClearsTheButtonBeforeWaitingForTheRelease) {
    // The exercise returns with the left button still down. While the loop waits for the
    // release, the hold check has already cleared MBUTTON; the checks of the drawing clear it
    // only once every button is up.
    struct Case {
        const char* what;
        std::optional<PollPoint> point;
        int32_t button_while_waiting;
    };
    const Case cases[] = {
        {"hold check", std::nullopt, 0},
        {"background check", PollPoint::image_background, 1},
        {"direct row check", PollPoint::direct_row, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int32_t> seen_while_waiting;
        routines.during_call = [](HeadlessPlatform& s) { s.press(gfx::k_key_left); };
        const int64_t start = platform.now_ms();
        platform.set_user([&](HeadlessPlatform& s) {
            if (state::load(state::run().MDOWN) != 0)
                seen_while_waiting.push_back(state::load(state::run().MBUTTON));
            if (s.now_ms() == start + 30) s.release(gfx::k_key_left);
        });
        ASSERT_EQ(run_checks(c.point, {1, 1, 0, 0}), Fired::left);
        // The loop returned only after the release.
        EXPECT_GE(platform.now_ms(), start + 30);
        ASSERT_FALSE(seen_while_waiting.empty());
        for (const int32_t button : seen_while_waiting) EXPECT_EQ(button, c.button_while_waiting);
        EXPECT_EQ(state::load(state::run().MBUTTON), 0);
        EXPECT_EQ(state::load(state::run().MDOWN), 0);
        platform.set_user({});
    }
}

GTEST_TEST_F(MainLoopChecksTest, BothButtonsReleasedAfterALeftTrainingStartNothing) {
    // The training is left on both buttons and returns with them down; they come up one after
    // the other. The first release stores the button still held, as a press would: the loop
    // must not take it for a click once everything is up.
    struct Case {
        const char* what;
        std::optional<PollPoint> point;
        int first_up;
        int second_up;
    };
    const Case cases[] = {
        {"hold check, left up first", std::nullopt, gfx::k_key_left, gfx::k_key_right},
        {"hold check, right up first", std::nullopt, gfx::k_key_right, gfx::k_key_left},
        {"background check, left up first", PollPoint::image_background, gfx::k_key_left,
         gfx::k_key_right},
        {"direct row check, right up first", PollPoint::direct_row, gfx::k_key_right,
         gfx::k_key_left},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        routines.during_call = [](HeadlessPlatform& s) {
            s.press(gfx::k_key_left);
            s.press(gfx::k_key_right);
        };
        const int64_t start = platform.now_ms();
        platform.set_user([&](HeadlessPlatform& s) {
            if (s.now_ms() == start + 30) s.release(c.first_up);
            if (s.now_ms() == start + 60) s.release(c.second_up);
        });
        ASSERT_EQ(run_checks(c.point, {1, 1, 0, 0}), Fired::left);
        EXPECT_GE(platform.now_ms(), start + 60);
        EXPECT_EQ(state::load(state::run().MBUTTON), 0);
        // The next checks, on what the releases left, see no click and no request.
        routines.calls.clear();
        EXPECT_FALSE(loop.hold_check());
        EXPECT_FALSE(loop.checks_at(PollPoint::direct_row));
        EXPECT_TRUE(routines.calls.empty());
        EXPECT_EQ(state::load(state::run().MODEREQ), 0) << "no sight check was asked for";
        routines.during_call = nullptr;
        platform.set_user({});
    }
}

GTEST_TEST_F(MainLoopChecksTest, BothButtonsEndTheProgramOnlyOnceAllAreUp) {
    const int64_t start = platform.now_ms();
    platform.set_user([&](HeadlessPlatform& s) {
        if (s.now_ms() == start + 40) s.release(gfx::k_key_left);
        if (s.now_ms() == start + 70) s.release(gfx::k_key_right);
    });
    platform.press(gfx::k_key_left);
    platform.press(gfx::k_key_right);
    ASSERT_EQ(run_checks(PollPoint::image_row, {3, 1, 3, 0}), Fired::both);
    EXPECT_EQ(platform.now_ms(), start + 70);
}

}  // namespace
