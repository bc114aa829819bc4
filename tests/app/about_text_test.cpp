#include "app/about_text.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/headless/headless_service.h"

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

GTEST_TEST(AboutText, TheServiceTakesAtMost512Characters) {
    gfx::HeadlessService service;
    const std::string longest(512, 'a');
    EXPECT_TRUE(service.set_about_text(longest));
    EXPECT_EQ(service.about_text(), longest);
    EXPECT_FALSE(service.set_about_text(longest + "a"));
    // A refused text leaves the one before it.
    EXPECT_EQ(service.about_text(), longest);
    EXPECT_TRUE(service.set_about_text(app::about_text()));
    EXPECT_EQ(service.about_text(), app::about_text());
}

}  // namespace
