// A user with a results log chooses "Effect from training" on the start screen, looks at the
// graph, clicks it away and is back at the start screen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "program_scenario.h"
#include "results/progress_graph.h"
#include "state/shared_state.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;

using ProgressGraphStory = testing_support::ProgramScenario;

constexpr int k_width = 980;
constexpr int k_height = 650;

// Three days of records: a sight check and a training, a training, a sight check.
const std::string k_log = testing_support::k_log_header + "\r\n" +
                          " 01.03.2010.,   9hour 5min  3sec, D=  200.0cm  DD=17.7  ny= 768 "
                          "nx=1024 AOV=0.70\r\n"
                          " 01.03.2010.,  10hour15min 30sec, D=  200.0cm  Is=   4  Np= 100 Nt=  "
                          "90 Ner=   6 Nna=   4 t_av=    1.50s  Npup=  16\r\n"
                          " 02.03.2010.,  18hour 0min  0sec, D=  200.0cm  Is=   5  Np= 100 Nt=  "
                          "95 Ner=   3 Nna=   2 t_av=    1.20s  Npup=   8\r\n"
                          " 04.03.2010.,   8hour30min 10sec, D=  250.0cm  DD=17.7  ny= 768 "
                          "nx=1024 AOV=0.80\r\n";

std::vector<gfx::Colour> picture_of(const HeadlessPlatform& platform) {
    std::vector<gfx::Colour> pixels;
    for (int y = 0; y < k_height; ++y) {
        for (int x = 0; x < k_width; ++x) pixels.push_back(platform.pixel(x, y));
    }
    return pixels;
}

// The graph of the folder's log as TRITOUT draws it on a trainer window of its own.
std::vector<gfx::Colour> graph_drawn_alone() {
    testing_support::reset_program_state();
    HeadlessPlatform platform;
    testing_support::open_trainer(platform);
    platform.set_user([](HeadlessPlatform&) { state::store(state::run().MEVENT, 1); });
    platform.run(nullptr, [](gfx::Canvas& canvas) { results::TRITOUT(canvas); });
    return picture_of(platform);
}

GTEST_TEST_F(ProgressGraphStory, TheMenuDrawsTheLogAndAClickGoesBackToTheStartScreen) {
    write_parameters(testing_support::k_default_parameters);
    folder.write("pelidor.rtr", k_log);
    constexpr int64_t chosen_ms = 3000;
    constexpr int64_t looked_ms = 4000;  // the graph is drawn at the next hold check
    std::vector<gfx::Colour> seen;
    std::vector<int> sizes_after_graph;
    int last_size = 0;
    const RunOutcome outcome = run([&](HeadlessPlatform& platform) {
        if (platform.now_ms() == chosen_ms)
            platform.choose(testing_support::menu_position(platform, "Effect from training"));
        if (platform.now_ms() == looked_ms) seen = picture_of(platform);
        testing_support::click_at(looked_ms, gfx::k_key_left)(platform);
        const int size = testing_support::shown_stripe_width(platform);
        if (platform.now_ms() > looked_ms && size != 0 && size != last_size)
            sizes_after_graph.push_back(size);
        last_size = size;
        testing_support::both_buttons_at(looked_ms + 15000)(platform);
    });

    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(folder.read("pelidor.rtr"), k_log) << "the graph only reads the log";
    // After the click the start screen begins its first pass again; no training was started
    // by the click that left the graph.
    ASSERT_GE(sizes_after_graph.size(), 2u);
    EXPECT_EQ(sizes_after_graph[0], 2);
    EXPECT_EQ(sizes_after_graph[1], 3);
    EXPECT_TRUE(platform.tones().empty());
    // What the user saw is the graph of this log.
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(k_width * k_height));
    const std::vector<gfx::Colour> expected = graph_drawn_alone();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) differing += seen[i] != expected[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u) << "pixels that differ from the graph drawn alone";
}

}  // namespace
