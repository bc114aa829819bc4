// A user starts the program, clicks right on the start screen and has the sight checked; the
// story ends in the results log and back at the start screen.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "program_scenario.h"
#include "scripted_viewer.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::Viewer;

using SightCheckStory = testing_support::ProgramScenario;

GTEST_TEST_F(SightCheckStory, ARightClickChecksTheSightLogsItAndReturnsToTheStartScreen) {
    write_parameters(testing_support::k_default_parameters);
    // From 200 cm this viewer sees the rings of 0.1 and 0.4, not those of 0.7 and 0.5; it
    // guesses left on the rings it cannot resolve.
    Viewer viewer(testing_support::resolving(10, testing_support::WhenUnsure::guess_left));
    std::vector<int> sizes_after_result;
    int last_size = 0;
    viewer.also = [&](HeadlessPlatform& platform) {
        testing_support::click_at(3000, gfx::k_key_right)(platform);
        if (viewer.result_shown_at < 0) return;
        // The sizes of the start screen as they appear once the result was clicked away.
        const int size = testing_support::shown_stripe_width(platform);
        if (platform.now() > viewer.result_shown_at + viewer.result_click_delay && size != 0 &&
            size != last_size) {
            sizes_after_result.push_back(size);
        }
        last_size = size;
        const auto ending_ms =
            static_cast<int64_t>((viewer.result_shown_at + viewer.result_click_delay) * 1000) +
            15000;
        testing_support::both_buttons_at(ending_ms)(platform);
    };
    const RunOutcome outcome =
        run([&viewer](HeadlessPlatform& platform) { viewer(platform); }, 1200);

    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    ASSERT_GT(viewer.result_shown_at, 0.0) << "the result screen never showed";
    ASSERT_FALSE(viewer.rings.empty());
    // The first ring comes with the first poll after the click, at the head of the loop.
    EXPECT_GT(viewer.ring_times.front(), 3.0);
    EXPECT_LT(viewer.ring_times.front(), 3.3);
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{testing_support::k_log_header,
                                        " 05.03.2010.,  14hour 7min  9sec, D=  "
                                        "200.0cm  DD=17.7  ny= 768 nx=1024 AOV=0.40"}));
    const std::vector<results::LogRecord> records = testing_support::log_records();
    ASSERT_EQ(records.size(), 1u);
    const auto* record = std::get_if<results::SightCheckRecord>(&records[0]);
    ASSERT_NE(record, nullptr) << "not a sight-check record";
    EXPECT_FLOAT_EQ(record->AOV, 0.4f);
    EXPECT_FLOAT_EQ(record->DIST, 200.0f);
    // The start screen begins its first pass again, and no training started.
    ASSERT_GE(sizes_after_result.size(), 2u);
    EXPECT_EQ(sizes_after_result[0], 2);
    EXPECT_EQ(sizes_after_result[1], 3);
    EXPECT_TRUE(platform.unit_closed(1));
}

}  // namespace
