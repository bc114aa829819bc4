#include "app/about_text.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/headless/headless_platform.h"

namespace {

GTEST_TEST(AboutText, IsTheSixParagraphsWithTheirCarriageReturns) {
    const std::string expected =
        "The program - a trainer for eyes PELIDOR (v2.31) \r\r"
        "BEGINNING: left mouse button - TRAINING with current size, right - CHECK of SIGHT, both "
        "buttons - exit\r\r"
        "TRAINING: Figure at left - press left button, at right - right, both buttons - "
        "transition in BEGINNING\r\r"
        "CHECK of SIGHT: the gap at left - press left button, on the right - right button, both "
        "buttons - transition in BEGINNING\r\r"
        "Detailed instruction and the guest book on the README.md place.\r"
        "Please, write about your experience of work with the program";
    EXPECT_EQ(app::about_text(), expected);
    EXPECT_LE(app::about_text().size(), 512u);
}

GTEST_TEST(AboutText, ThePlatformTakesAtMost512Characters) {
    gfx::HeadlessPlatform platform;
    const std::string longest(512, 'a');
    EXPECT_TRUE(platform.set_about_text(longest));
    EXPECT_EQ(platform.about_text(), longest);
    EXPECT_FALSE(platform.set_about_text(longest + "a"));
    // A refused text leaves the one before it.
    EXPECT_EQ(platform.about_text(), longest);
    EXPECT_TRUE(platform.set_about_text(app::about_text()));
    EXPECT_EQ(platform.about_text(), app::about_text());
}

}  // namespace
