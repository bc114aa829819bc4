#include "app/main_program.h"

#include <gtest/gtest.h>

#include "app/about_text.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::RecordingRoutines;
using testing_support::run_program;
using testing_support::WorkingFolder;

class MainProgramTest : public ::testing::Test {
  protected:
    MainProgramTest() { testing_support::reset_program_state(); }

    RunOutcome start(double seconds) {
        platform.set_time_limit(seconds);
        return run_program(platform, routines.make(platform));
    }

    WorkingFolder folder;
    HeadlessPlatform platform;
    RecordingRoutines routines;
};

GTEST_TEST_F(MainProgramTest, StartUpBuildsTheFrameMenusAndTheGraphicsWindow) {
    folder.install_default_figures();
    start(0.5);
    ASSERT_EQ(platform.frame_geometries().size(), 2u);
    const auto first = platform.frame_geometries()[0];
    const auto second = platform.frame_geometries()[1];
    EXPECT_EQ((std::vector<int>{first.x, first.y, first.height, first.width}),
              (std::vector<int>{50, 50, 400, 650}));
    EXPECT_EQ((std::vector<int>{second.x, second.y, second.height, second.width}),
              (std::vector<int>{0, 0, 768, 1024}));

    const auto menu = platform.menu_items();
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].text, "Exit");
    EXPECT_EQ(menu[1].text, "Effect from training");
    EXPECT_EQ(menu[2].text, "User guide");
    for (const auto& item : menu) EXPECT_EQ(item.flags, gfx::k_menu_enabled);

    EXPECT_EQ(platform.canvas().title(1), "Trainer for eyes");
    EXPECT_EQ(state::run().NXW, 980);
    EXPECT_EQ(state::run().NYW, 650);
    EXPECT_EQ(platform.tiles(), 1);
    EXPECT_EQ(platform.exit_mode(), 2);
    EXPECT_EQ(platform.about_text(), app::about_text());
}

GTEST_TEST_F(MainProgramTest, UserGuideShowsTheAboutBoxWithoutStoppingTheProgram) {
    folder.install_default_figures();
    platform.set_user([](HeadlessPlatform& s) {
        if (s.now_ms() == 2000) s.choose(3);
    });
    const RunOutcome outcome = start(8.0);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::time_limit);
    EXPECT_EQ(platform.about_boxes_shown(), 1);
}

GTEST_TEST_F(MainProgramTest, BeginningWithoutAParameterFileWritesTheDefaults) {
    folder.install_default_figures();
    start(0.5);
    EXPECT_EQ(folder.read("pelidor.vvd"),
              "200.000  (distance in centimeters)\r\n"
              " 17.700  (diagonal of display in inches)\r\n"
              "    768  (display resolution, pixels on the Y)\r\n"
              "   1024  (display resolution, pixels on the X)\r\n"
              "    100  (volume of training)\r\n"
              " 50.000  (time for the ansver in seconds)\r\n");
}

GTEST_TEST_F(MainProgramTest, MissingFigureFileIsReportedAndNotCreated) {
    const RunOutcome outcome = start(5.0);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::fatal_error);
    EXPECT_EQ(outcome.message, "forrtl: severe (29): file not found, unit 14, file pelidor.sym");
    EXPECT_FALSE(folder.exists("pelidor.sym"));
    // The dialog ran before the figures were loaded.
    EXPECT_TRUE(folder.exists("pelidor.vvd"));
}

GTEST_TEST_F(MainProgramTest, ExitFromTheDialogEndsWithoutWritingTheFile) {
    folder.install_default_figures();
    platform.set_dialog_script([](gfx::Dialog& dialog, int) { dialog.activate(2); });
    const RunOutcome outcome = start(5.0);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_FALSE(folder.exists("pelidor.vvd"));
    EXPECT_TRUE(platform.unit_closed(1));
    ASSERT_EQ(platform.tones().size(), 1u);
    EXPECT_EQ(platform.tones()[0].frequency, 0);
    EXPECT_EQ(platform.tones()[0].duration_ms, 0);
}

}  // namespace
