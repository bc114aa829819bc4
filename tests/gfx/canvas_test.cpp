#include "gfx/canvas.h"

#include <gtest/gtest.h>

#include "gfx/headless/headless_platform.h"

namespace {

using gfx::WindowConfig;

GTEST_TEST(WindowConfigTest, ARefusedRecordIsCorrectedSoThatItSucceedsWhenSubmittedAgain) {
    struct Case {
        const char* what;
        WindowConfig record;
        bool sized_before;  // the window already has 980 × 650 pixels
        int16_t width, height;
    };
    const Case cases[] = {
        {"a font size of 0 on a new window", {980, 650, -1, -1, -1, 0}, false, 980, 650},
        {"no size on a new window", {0, 0, 0, 0, 0, 0}, false, 640, 480},
        {"a negative width on a sized window", {-5, 300, -1, -1, -1, -1}, true, 980, 300},
        {"no height on a sized window", {500, 0, -1, -1, -1, -1}, true, 500, 650},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gfx::HeadlessPlatform twin;
        gfx::Canvas& canvas = twin.canvas();
        canvas.open_child(1, "Trainer for eyes");
        if (c.sized_before) {
            WindowConfig first{980, 650, -1, -1, -1, -1};
            ASSERT_TRUE(canvas.set_window_config(first));
        }
        WindowConfig record = c.record;
        EXPECT_FALSE(canvas.set_window_config(record));
        EXPECT_GT(record.pixel_width, 0);
        EXPECT_GT(record.pixel_height, 0);
        EXPECT_NE(record.font_size, 0);
        EXPECT_TRUE(canvas.set_window_config(record)) << "the corrected record is refused again";
        EXPECT_EQ(canvas.window_config().pixel_width, c.width);
        EXPECT_EQ(canvas.window_config().pixel_height, c.height);
    }
}

GTEST_TEST(WindowConfigTest, MinusOneInASizeKeepsTheWindowsSize) {
    gfx::HeadlessPlatform twin;
    gfx::Canvas& canvas = twin.canvas();
    canvas.open_child(1, "Trainer for eyes");
    WindowConfig first{980, 650, -1, -1, -1, -1};
    ASSERT_TRUE(canvas.set_window_config(first));
    WindowConfig record{-1, 400, -1, -1, -1, -1};
    EXPECT_TRUE(canvas.set_window_config(record));
    EXPECT_EQ(canvas.window_config().pixel_width, 980);
    EXPECT_EQ(canvas.window_config().pixel_height, 400);
}

}  // namespace
