#include "app/mouse_input.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/types.h"
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

}  // namespace
