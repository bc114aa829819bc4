#include "exercises/sight_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "exercises/sight_check_trial.h"
#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "program_scenario.h"
#include "scripted_viewer.h"
#include "state/shared_state.h"

namespace {

using exercises::LevelVerdict;
using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::WorkingFolder;

using gfx::k_white;
using testing_support::k_ring_tone;
using testing_support::log_lines;
using testing_support::resolving;
using testing_support::RingView;
using testing_support::scripted;
using testing_support::Viewer;
using testing_support::WhenUnsure;

constexpr gfx::Colour k_blue = 0xFF0000;
constexpr int k_centre_x = testing_support::k_ring_centre_x;
constexpr int k_centre_y = testing_support::k_ring_centre_y;

// ---- the program around the check

// The window, fonts and parameters as the main program leaves them before the start screen.
void prepare_program(HeadlessPlatform& canvas) {
    testing_support::reset_program_state();
    state::run().parameters = testing_support::k_default_parameters;
    testing_support::open_trainer(canvas);
}

RunOutcome run_check(HeadlessPlatform& canvas, Viewer& viewer, double time_limit = 1200) {
    canvas.set_time_limit(time_limit);
    canvas.set_user([&viewer](HeadlessPlatform& s) { viewer(s); });
    return canvas.run(nullptr, [](gfx::Canvas& s) {
        int32_t width = state::run().NXW;
        int32_t height = state::run().NYW;
        exercises::EVETEST(s, width, height);
    });
}

// One level of rings, as the search calls it.
LevelVerdict run_level(HeadlessPlatform& canvas, Viewer& viewer, float level) {
    canvas.set_time_limit(600);
    canvas.set_user([&viewer](HeadlessPlatform& s) { viewer(s); });
    LevelVerdict verdict = LevelVerdict::abandoned;
    const RunOutcome outcome = canvas.run(nullptr, [&](gfx::Canvas& s) {
        const state::Parameters& p = state::run().parameters;
        verdict = exercises::TESTSTR(s, level, p.DIST, p.DIAG, 980, 650, p.NX, p.NY);
    });
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    return verdict;
}

class SightCheckTest : public ::testing::Test {
  protected:
    SightCheckTest() { prepare_program(canvas); }

    WorkingFolder folder;
    HeadlessPlatform canvas;
};

// ---- one level

GTEST_TEST_F(SightCheckTest, VerdictOfALevelFollowsTheRunsOfAnswers) {
    struct Case {
        const char* what;
        float level;
        const char* answers;
        LevelVerdict verdict;
    };
    const Case cases[] = {
        {"ten correct answers in a row are seen", 0.4f, "CCCCCCCCCC", LevelVerdict::seen},
        {"a wrong answer starts the run again", 0.4f, "CCCCCCCCCWCCCCCCCCCC", LevelVerdict::seen},
        {"three wrong answers end it even with correct runs between", 0.4f, "CCWCCCCCCCCCWCW",
         LevelVerdict::not_seen},
        {"unanswered rings do not break a run", 0.4f, "CCCCC--CCCCC", LevelVerdict::seen},
        {"five unanswered rings are not seen", 0.4f, "-----", LevelVerdict::not_seen},
        {"a correct answer clears the unanswered count", 0.4f, "----C-----",
         LevelVerdict::not_seen},
        {"a wrong answer does not clear it", 0.4f, "--W---", LevelVerdict::not_seen},
        {"at 0.1 rings before the first answer count nothing", 0.1f, "-------C-----",
         LevelVerdict::not_seen},
        {"at 0.1 a wrong first answer starts the count", 0.1f, "W-----", LevelVerdict::not_seen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessPlatform platform;
        prepare_program(platform);
        Viewer viewer(scripted(c.answers));
        EXPECT_EQ(run_level(platform, viewer, c.level), c.verdict);

        const std::string answers = c.answers;
        ASSERT_EQ(viewer.rings.size(), answers.size());
        std::vector<int> expected_tones;
        bool answered = false;
        for (const char answer : answers) {
            expected_tones.push_back(k_ring_tone);
            if (answer == 'C') expected_tones.push_back(800);
            if (answer == 'W') expected_tones.push_back(200);
            if (answer == '-' && (answered || c.level != 0.1f)) expected_tones.push_back(400);
            answered = answered || answer != '-';
        }
        std::vector<int> heard;
        for (const gfx::ToneRecord& tone : platform.tones()) heard.push_back(tone.frequency);
        EXPECT_EQ(heard, expected_tones);
        for (const RingView& ring : viewer.rings) EXPECT_NE(ring.gap_side, 0);
    }
}

GTEST_TEST_F(SightCheckTest, RingsKeepTheirTimesAndTheScreenIsBlankBetweenThem) {
    // At 0.1 the first ring goes unanswered (2 s window, then 1 s blank); the second is answered
    // wrongly (3 s pause after the tone, then 1 s blank); the third never.
    std::vector<double> blank_starts;
    bool ring_band_black = false;
    Viewer viewer(scripted("-W"));
    viewer.also = [&](HeadlessPlatform& s) {
        // (490, 290) lies in the band of the 0.1 ring, whatever its gap.
        const bool black = s.pixel(k_centre_x, 290) != k_white;
        if (ring_band_black && !black) blank_starts.push_back(s.now());
        ring_band_black = black;
        if (viewer.rings.size() == 3 && s.now() > viewer.ring_times[2] + 0.5) {
            state::store(state::run().MODEREQ, state::k_graph_request);
        }
    };
    run_level(canvas, viewer, 0.1f);

    ASSERT_EQ(viewer.rings.size(), 3u);
    ASSERT_EQ(blank_starts.size(), 2u);
    const std::vector<double>& shown = viewer.ring_times;
    EXPECT_NEAR(blank_starts[0] - shown[0], 2.15, 0.002) << "ten polls of 200 ms after the tone";
    EXPECT_GE(shown[1] - blank_starts[0], 0.99);
    EXPECT_LE(shown[1] - blank_starts[0], 1.21);
    // The answer is taken at the first poll after the click, 350 ms after the tone; the low
    // tone takes 300 ms and the pause 3 s.
    EXPECT_NEAR(blank_starts[1] - shown[1], 0.35 + 0.3 + 3.0, 0.002);
    EXPECT_GE(shown[2] - blank_starts[1], 0.99);
    EXPECT_LE(shown[2] - blank_starts[1], 1.21);
    const std::vector<gfx::ToneRecord>& tones = canvas.tones();
    ASSERT_EQ(tones.size(), 4u);
    EXPECT_EQ(tones[0].duration_ms, 150);
    EXPECT_EQ(tones[2].frequency, 200);
    EXPECT_EQ(tones[2].duration_ms, 300);
}

GTEST_TEST_F(SightCheckTest, EachRingTakesItsSideAndTiltFromTheRandomSequence) {
    // Two draws per ring: the side (right above 0.5), then the tilt (below 0.333 turned up,
    // from 0.667 turned down). The sequence starts 9.5e-6, 0.160, 0.512, 0.752, 0.429, 0.510.
    constexpr int left = 180, upper_left = -135, lower_left = 135;
    constexpr int right = 0, upper_right = -45, lower_right = 45;
    const std::vector<int> expected = {lower_left,  lower_right, left,        upper_right,
                                       lower_left,  lower_left,  upper_right, lower_left,
                                       lower_right, lower_left,  upper_left,  right};
    Viewer viewer(scripted(""));
    viewer.also = [&](HeadlessPlatform&) {
        if (viewer.rings.size() == expected.size()) {
            state::store(state::run().MODEREQ, state::k_graph_request);
        }
    };
    run_level(canvas, viewer, 0.1f);

    std::vector<int> seen;
    for (const RingView& ring : viewer.rings) seen.push_back(ring.gap_angle);
    EXPECT_EQ(seen, expected);
}

// ---- the whole check

// The outer radius in pixels of each level's ring from 500 cm on the default screen; each
// level has a ring of its own size there, so a viewer can tell the levels apart.
struct RingOnScreen {
    float level;
    int radius;
};
constexpr RingOnScreen k_rings_from_500_cm[] = {
    {0.1f, 103}, {0.2f, 52}, {0.3f, 34}, {0.4f, 26}, {0.5f, 21}, {0.6f, 17}, {0.7f, 15},
    {0.8f, 13},  {0.9f, 11}, {1.0f, 10}, {1.25f, 8}, {1.5f, 7},  {2.0f, 5},
};

float level_of_radius(int radius) {
    for (const RingOnScreen& ring : k_rings_from_500_cm) {
        if (ring.radius == radius) return ring.level;
    }
    return -1.0f;
}

int radius_of_level(float level) {
    for (const RingOnScreen& ring : k_rings_from_500_cm) {
        if (ring.level == level) return ring.radius;
    }
    return 10000;  // sees no ring
}

std::vector<float> probed_levels(const Viewer& viewer) {
    std::vector<float> levels;
    for (const RingView& ring : viewer.rings) {
        const float level = level_of_radius(ring.outer_radius);
        if (levels.empty() || levels.back() != level) levels.push_back(level);
    }
    return levels;
}

GTEST_TEST_F(SightCheckTest, SearchProbesTheLevelsOfTheBisectionAndLogsTheHighestSeen) {
    struct Case {
        const char* what;
        float highest_seen;  // 0 for none
        WhenUnsure unsure;
        std::vector<float> probed;
        const char* logged;
    };
    const Case cases[] = {
        {"sees none", 0.0f, WhenUnsure::guess_left, {0.1f}, "0.00"},
        {"sees 0.1", 0.1f, WhenUnsure::keep_still, {0.1f, 0.7f, 0.4f, 0.2f}, "0.10"},
        {"sees 0.2", 0.2f, WhenUnsure::guess_left, {0.1f, 0.7f, 0.4f, 0.2f, 0.3f}, "0.20"},
        {"sees 0.3", 0.3f, WhenUnsure::keep_still, {0.1f, 0.7f, 0.4f, 0.2f, 0.3f}, "0.30"},
        {"sees 0.4", 0.4f, WhenUnsure::guess_left, {0.1f, 0.7f, 0.4f, 0.5f}, "0.40"},
        {"sees 0.5", 0.5f, WhenUnsure::keep_still, {0.1f, 0.7f, 0.4f, 0.5f, 0.6f}, "0.50"},
        {"sees 0.6", 0.6f, WhenUnsure::guess_left, {0.1f, 0.7f, 0.4f, 0.5f, 0.6f}, "0.60"},
        {"sees 0.7", 0.7f, WhenUnsure::keep_still, {0.1f, 0.7f, 1.0f, 0.8f}, "0.70"},
        {"sees 0.8", 0.8f, WhenUnsure::guess_left, {0.1f, 0.7f, 1.0f, 0.8f, 0.9f}, "0.80"},
        {"sees 0.9", 0.9f, WhenUnsure::keep_still, {0.1f, 0.7f, 1.0f, 0.8f, 0.9f}, "0.90"},
        {"sees 1.0", 1.0f, WhenUnsure::guess_left, {0.1f, 0.7f, 1.0f, 1.5f, 1.25f}, "1.00"},
        {"sees 1.25", 1.25f, WhenUnsure::keep_still, {0.1f, 0.7f, 1.0f, 1.5f, 1.25f}, "1.25"},
        {"sees 1.5", 1.5f, WhenUnsure::guess_left, {0.1f, 0.7f, 1.0f, 1.5f, 2.0f}, "1.50"},
        {"sees 2.0", 2.0f, WhenUnsure::keep_still, {0.1f, 0.7f, 1.0f, 1.5f, 2.0f}, "2.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessPlatform platform;
        prepare_program(platform);
        state::run().parameters.DIST = 500.0f;
        std::remove("pelidor.rtr");
        Viewer viewer(resolving(radius_of_level(c.highest_seen), c.unsure));

        const RunOutcome outcome = run_check(platform, viewer);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_EQ(probed_levels(viewer), c.probed);
        const std::vector<std::string> lines = log_lines(folder);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1].substr(76), c.logged);
    }
}

GTEST_TEST_F(SightCheckTest, RecordIsAppendedToTheLogByteForByte) {
    canvas.set_date({2026, 3, 5});
    canvas.set_time({14, 7, 9, 42});
    // Sees the 0.1 ring (radius 41) and the 0.4 ring (10), not the 0.7 (6) or 0.5 (8) ones.
    Viewer viewer(resolving(10, WhenUnsure::guess_left));
    ASSERT_EQ(run_check(canvas, viewer).kind, RunOutcome::Kind::stopped);

    const std::string& header = testing_support::k_log_header;
    const std::string record =
        " 05.03.2026.,  14hour 7min  9sec, D=  200.0cm  DD=17.7  ny= 768 nx=1024 AOV=0.40";
    EXPECT_EQ(folder.read("pelidor.rtr"), header + "\r\n" + record + "\r\n");
}

// Blue pixels of unit 1 inside the box, both corners included.
std::vector<std::pair<int, int>> blue_pixels(const HeadlessPlatform& s, int x1, int y1, int x2,
                                             int y2) {
    std::vector<std::pair<int, int>> found;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            if (s.pixel(x, y) == k_blue) found.emplace_back(x, y);
        }
    }
    return found;
}

GTEST_TEST_F(SightCheckTest, ResultIsDrawnInBlueOverTheLastRingAndWaitsForAClick) {
    state::run().parameters.DIST = 500.0f;
    Viewer viewer(resolving(radius_of_level(1.25f), WhenUnsure::keep_still));
    viewer.result_click_delay = 20.0;
    const RunOutcome outcome = run_check(canvas, viewer);
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    ASSERT_GT(viewer.result_shown_at, 0.0);
    // The check waits for the click, taken on the press, and then returns at once.
    EXPECT_NEAR(outcome.at_seconds, viewer.result_shown_at + 20.0, 0.002);
    EXPECT_EQ(state::load(state::run().MEVENT), 0);
    EXPECT_EQ(log_lines(folder).back().substr(76), "1.25");

    struct Text {
        const char* what;
        int x1, y1, x2, y2;  // where the text may lie
    };
    constexpr Text texts[] = {
        {"Visual acuity", 200, 250, 470, 287},
        {"result", 500, 185, 700, 304},
        {"For continuation press any mouse button", 60, 550, 780, 587},
    };
    std::size_t inside = 0;
    for (const Text& text : texts) {
        SCOPED_TRACE(text.what);
        const std::size_t count = blue_pixels(canvas, text.x1, text.y1, text.x2, text.y2).size();
        EXPECT_GT(count, 100u);
        inside += count;
    }
    EXPECT_EQ(blue_pixels(canvas, 0, 0, 979, 649).size(), inside) << "blue outside the texts";
    // The last ring, of level 1.25, is still there beside the texts.
    EXPECT_EQ(testing_support::look_at_ring(canvas).outer_radius, radius_of_level(1.25f));

    // The three texts, each at its top-left corner in its font; 1.25 is shown with one
    // decimal, as " 1.3" in the large font.
    HeadlessPlatform reference;
    testing_support::open_trainer(reference);
    reference.canvas().set_colour(k_blue);
    const std::string small = "t'Times New Roman Cyr'h38w17ib";
    reference.canvas().set_font(small);
    reference.canvas().move_to(200, 250);
    reference.canvas().out_text("Visual acuity");
    reference.canvas().set_font("t'Times New Roman Cyr'h120w40ib");
    reference.canvas().move_to(500, 185);
    reference.canvas().out_text(" 1.3");
    reference.canvas().set_font(small);
    reference.canvas().move_to(60, 550);
    reference.canvas().out_text("For continuation press any mouse button");
    EXPECT_EQ(blue_pixels(canvas, 0, 0, 979, 649), blue_pixels(reference, 0, 0, 979, 649));
}

GTEST_TEST_F(SightCheckTest, BothButtonsEndTheCheckWithTheMouseStateClearedAndNoRecord) {
    // Both go down `after` seconds after a ring's tone and up 300 ms later. The check notices
    // them at its next poll point (every 200 ms; none during the pause after a wrong answer)
    // and returns once they are up.
    struct Case {
        const char* what;
        const char* answers;
        std::size_t ring;   // the ring after whose tone both buttons go down
        double after;       // seconds
        double returns_by;  // seconds after the tone
    };
    constexpr Case cases[] = {
        {"while a ring waits for its answer", "CC-", 2, 0.5, 0.8},
        {"during the blank pause", "CCC", 1, 1.0, 1.3},
        {"during the pause after a wrong answer", "CW", 1, 1.5, 0.35 + 0.3 + 3.0 + 0.2},
        {"at the first level before any answer", "", 0, 1.0, 1.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessPlatform platform;
        prepare_program(platform);
        Viewer viewer(scripted(c.answers));
        double released_at = -1;
        viewer.also = [&](HeadlessPlatform& s) {
            if (viewer.rings.size() <= c.ring) return;
            const int64_t press_ms =
                static_cast<int64_t>((viewer.ring_times[c.ring] + c.after) * 1000);
            if (s.now_ms() == press_ms) {
                s.press(gfx::k_key_left);
                s.press(gfx::k_key_right);
            }
            if (s.now_ms() == press_ms + 300) {
                s.release(gfx::k_key_left);
                s.release(gfx::k_key_right);
                released_at = s.now();
            }
        };
        const RunOutcome outcome = run_check(platform, viewer);

        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_EQ(viewer.rings.size(), c.ring + 1) << "no ring after both buttons";
        ASSERT_GT(released_at, 0.0);
        EXPECT_GE(outcome.at_seconds, released_at) << "returns only once both are up";
        EXPECT_LE(outcome.at_seconds, viewer.ring_times[c.ring] + c.returns_by + 0.002);
        EXPECT_EQ(state::load(state::run().MBUTTON), 0);
        EXPECT_EQ(state::load(state::run().MEVENT), 0);
        EXPECT_EQ(state::load(state::run().MDOWN), 0);
        EXPECT_FALSE(folder.exists("pelidor.rtr"));
    }
}

GTEST_TEST_F(SightCheckTest, MenuRequestEndsTheCheckAtTheNextPoll) {
    Viewer viewer(scripted("CC"));
    double requested_at = -1;
    viewer.also = [&](HeadlessPlatform& s) {
        if (requested_at < 0 && viewer.rings.size() == 3 && s.now() >= viewer.ring_times[2] + 0.5) {
            state::store(state::run().MODEREQ, state::k_graph_request);
            requested_at = s.now();
        }
    };
    const RunOutcome outcome = run_check(canvas, viewer);

    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_LE(outcome.at_seconds - requested_at, 0.2);
    EXPECT_EQ(viewer.rings.size(), 3u);
    EXPECT_EQ(state::load(state::run().MODEREQ), state::k_graph_request)
        << "left for the main loop";
    EXPECT_FALSE(folder.exists("pelidor.rtr"));
}

GTEST_TEST_F(SightCheckTest, ParametersThatCannotSizeARingEndTheCheckAtOnce) {
    struct Case {
        const char* what;
        state::Parameters parameters;
    };
    const Case cases[] = {
        {"no resolution", {200.0f, 17.7f, 0, 0, 100, 50.0f}},
        {"no diagonal", {200.0f, 0.0f, 1024, 768, 100, 50.0f}},
        {"no distance", {0.0f, 17.7f, 1024, 768, 100, 50.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessPlatform platform;
        prepare_program(platform);
        state::run().parameters = c.parameters;
        platform.canvas().set_colour(0x00FF00);
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        Viewer viewer(scripted(""));

        const RunOutcome outcome = run_check(platform, viewer, 10.0);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_EQ(outcome.at_seconds, 0.0);
        EXPECT_TRUE(platform.tones().empty());
        EXPECT_EQ(platform.pixel(0, 0), 0x00FF00u);
        EXPECT_EQ(platform.pixel(k_centre_x, k_centre_y), 0x00FF00u);
        EXPECT_FALSE(folder.exists("pelidor.rtr"));
    }
}

}  // namespace
