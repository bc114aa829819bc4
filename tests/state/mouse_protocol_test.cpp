#include "state/mouse_protocol.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Stands in for the platform: records every pause and lets the test play the window
// thread's part at the n-th pause.
struct ScriptedWaiter {
    std::function<void(int pause)> at_pause;
    std::vector<int> timeouts;

    void wait_for_input(int timeout_ms) {
        timeouts.push_back(timeout_ms);
        at_pause(static_cast<int>(timeouts.size()));
    }
};

void set_mouse(int32_t mevent, int32_t mbutton, int32_t mdown) {
    state::store(state::run().MDOWN, mdown);
    state::store(state::run().MBUTTON, mbutton);
    state::store(state::run().MEVENT, mevent);
}

GTEST_TEST(MouseProtocolTest, AClickIsCompleteOnlyWhenItsCodeIsLatchedAndEveryButtonIsUp) {
    struct Case {
        const char* what;
        int32_t mevent, mbutton, mdown;
        bool left, right;
    };
    const Case cases[] = {
        {"left click released", 1, 1, 0, true, false},
        {"right click released", 1, 2, 0, false, true},
        {"left button still held", 1, 1, 1, false, false},
        {"no press since the last forget", 0, 1, 0, false, false},
        {"both buttons latched", 1, 3, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state::start_run();
        set_mouse(c.mevent, c.mbutton, c.mdown);
        EXPECT_EQ(state::click_completed(state::k_left_button), c.left);
        EXPECT_EQ(state::click_completed(state::k_right_button), c.right);
    }
}

GTEST_TEST(MouseProtocolTest, WaitForPressIgnoresAnEarlierPressAndForgetsItsOwn) {
    state::start_run();
    set_mouse(1, 1, 0);  // a click made before the wait began
    ScriptedWaiter waiter;
    waiter.at_pause = [](int pause) {
        if (pause == 3) set_mouse(1, 2, 2);
    };
    state::wait_for_press(waiter);
    EXPECT_EQ(waiter.timeouts, (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(state::load(state::run().MEVENT), 0);
    EXPECT_EQ(state::latched_button(), 2) << "the latched code is left to the caller";
}

GTEST_TEST(MouseProtocolTest, WaitUntilReleasedPausesOnlyWhileAButtonIsDown) {
    state::start_run();
    ScriptedWaiter waiter;
    waiter.at_pause = [](int) { ADD_FAILURE() << "paused with every button up"; };
    state::wait_until_released(waiter);
    EXPECT_TRUE(waiter.timeouts.empty());

    set_mouse(1, 3, 3);
    waiter.at_pause = [](int pause) {
        if (pause == 2) state::store(state::run().MDOWN, 0);
    };
    state::wait_until_released(waiter);
    EXPECT_EQ(waiter.timeouts, (std::vector<int>{100, 100}));
    EXPECT_TRUE(state::press_arrived()) << "releasing does not forget the press";
}

}  // namespace
