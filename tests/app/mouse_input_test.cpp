#include "app/mouse_input.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "gfx/types.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace {

struct Event {
    int event;
    int key_state;
};

struct Case {
    const char* what;
    std::vector<Event> events;
    int mbutton, mevent, mdown;
};

GTEST_TEST(TypxyTest, WorkedSequencesLeaveTheSharedStateAsExpected) {
    using namespace gfx;
    const Case cases[] = {
        {"left down", {{k_left_down, 1}}, 1, 1, 1},
        {"left click", {{k_left_down, 1}, {k_left_up, 0}}, 1, 1, 0},
        {"right click", {{k_right_down, 2}, {k_right_up, 0}}, 2, 1, 0},
        {"both down", {{k_left_down, 1}, {k_right_down, 3}}, 3, 1, 3},
        {"both down and released",
         {{k_left_down, 1}, {k_right_down, 3}, {k_left_up, 2}, {k_right_up, 0}},
         3,
         1,
         0},
        {"release while the other button is held overwrites the code",
         {{k_left_down, 1}, {k_right_down, 2}, {k_left_up, 2}},
         2,
         1,
         2},
        {"left click with shift held is the plain click",
         {{k_left_down, 5}, {k_left_up, 4}},
         1,
         1,
         0},
        {"right click with ctrl held is the plain click",
         {{k_right_down, 10}, {k_right_up, 8}},
         2,
         1,
         0},
        {"middle button does not count", {{k_left_down, 17}, {k_left_up, 16}}, 1, 1, 0},
        {"after a left click a right press waits for its release",
         {{k_left_down, 1}, {k_left_up, 0}, {k_right_down, 2}},
         2,
         1,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state::start_run();
        for (const Event& e : c.events) app::TYPXY(1, e.event, e.key_state, 10, 10);
        EXPECT_EQ(state::load(state::run().MBUTTON), c.mbutton);
        EXPECT_EQ(state::load(state::run().MEVENT), c.mevent);
        EXPECT_EQ(state::load(state::run().MDOWN), c.mdown);
    }
}

GTEST_TEST(TypxyTest, BothButtonsStayLatchedUntilTheProgramClearsThem) {
    state::start_run();
    app::TYPXY(1, gfx::k_left_down, 3, 0, 0);
    app::TYPXY(1, gfx::k_left_up, 0, 0, 0);
    app::TYPXY(1, gfx::k_left_down, 1, 0, 0);
    EXPECT_EQ(state::load(state::run().MBUTTON), 3);
    state::store(state::run().MBUTTON, 0);
    app::TYPXY(1, gfx::k_left_down, 1, 0, 0);
    EXPECT_EQ(state::load(state::run().MBUTTON), 1);
}

GTEST_TEST(OnMouseTest, EveryPressAndOnlyAPressReplacesTheMomentOfTheLatestPress) {
    using namespace gfx;
    struct Step {
        int event;
        int key_state;
        std::optional<double> at;
    };
    struct MomentCase {
        const char* what;
        std::vector<Step> steps;
        std::optional<double> moment;
    };
    const MomentCase cases[] = {
        {"no press yet", {}, std::nullopt},
        {"a stamped press", {{k_left_down, 1, 12.5}}, 12.5},
        {"a release keeps the press's moment",
         {{k_left_down, 1, 12.5}, {k_left_up, 0, 12.7}},
         12.5},
        {"a press without a stamp has none, not the earlier one's",
         {{k_left_down, 1, 12.5}, {k_left_up, 0, 12.7}, {k_right_down, 2, std::nullopt}},
         std::nullopt},
        {"the second press of a double click is a press",
         {{k_left_down, 1, 3.0}, {k_left_up, 0, 3.1}, {k_left_double, 1, 3.2}},
         3.2},
    };
    for (const MomentCase& c : cases) {
        SCOPED_TRACE(c.what);
        state::start_run();
        for (const Step& step : c.steps)
            app::on_mouse(1, step.event, step.key_state, 0, 0, step.at);
        EXPECT_EQ(state::latest_press_seconds(), c.moment);
    }
    // The press also reaches TYPXY.
    EXPECT_EQ(state::load(state::run().MEVENT), 1);
    EXPECT_EQ(state::load(state::run().MBUTTON), 1);
}

}  // namespace
