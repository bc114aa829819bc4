#include "params/parameters_dialog.h"

#include <gtest/gtest.h>

#include <map>

#include "gfx/headless/headless_platform.h"
#include "gfx/platform.h"
#include "params/dialog_template.h"
#include "program_fixture.h"
#include "state/shared_state.h"
#include "textio/io_error.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::WorkingFolder;

class ParametersDialogTest : public ::testing::Test {
  protected:
    ParametersDialogTest() { testing_support::reset_program_state(); }

    // Runs the dialog with a script that types `texts` and presses `button`; records what the
    // fields showed when the dialog opened.
    RunOutcome run(std::map<int, std::string> texts, int button) {
        platform.set_dialog_script([this, texts, button](gfx::Dialog& dialog, int attempt) {
            if (attempt == 0) {
                for (int id = 1000; id <= 1005; ++id) shown[id] = dialog.text(id);
                for (const auto& [id, text] : texts) dialog.set_text(id, text);
            } else if (repair) {
                repair(dialog);
            }
            dialog.activate(button);
        });
        return platform.run({}, [](gfx::Canvas& canvas) {
            try {
                params::VVDALND(canvas);
            } catch (const textio::IoError& error) {
                canvas.platform().report_fatal(error.message());
            }
        });
    }

    WorkingFolder folder;
    HeadlessPlatform platform;
    std::map<int, std::string> shown;
    std::function<void(gfx::Dialog&)> repair;
};

GTEST_TEST_F(ParametersDialogTest, FieldsShowTheDefaultsWhenThereIsNoFile) {
    run({}, params::k_begin_button);
    const std::map<int, std::string> expected = {
        {1000, " 200.0"}, {1001, " 17.70"}, {1002, " 768"},
        {1003, "1024"},   {1004, " 100"},   {1005, "  50.0"},
    };
    EXPECT_EQ(shown, expected);
}

GTEST_TEST_F(ParametersDialogTest, ValuesShownAndLeftAsTheyAreAreSavedUnchanged) {
    const std::string file =
        " 61.300  (distance in centimeters)\r\n"
        " 23.250  (diagonal of display in inches)\r\n"
        "   1200  (display resolution, pixels on the Y)\r\n"
        "   1600  (display resolution, pixels on the X)\r\n"
        "     37  (volume of training)\r\n"
        "  4.800  (time for the ansver in seconds)\r\n";
    folder.write("pelidor.vvd", file);
    EXPECT_EQ(run({}, params::k_begin_button).kind, RunOutcome::Kind::stopped);
    const std::map<int, std::string> expected = {
        {1000, "  61.3"}, {1001, " 23.25"}, {1002, "1200"},
        {1003, "1600"},   {1004, "  37"},   {1005, "   4.8"},
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(folder.read("pelidor.vvd"), file);
}

GTEST_TEST_F(ParametersDialogTest, WhatTheUserLeavesIsTakenAndSaved) {
    struct Case {
        const char* what;
        int field;
        std::string text;
        std::string saved_line;
    };
    const Case cases[] = {
        {"distance", 1000, "150", "150.000  (distance in centimeters)"},
        {"diagonal with a point", 1001, " 21.5", " 21.500  (diagonal of display in inches)"},
        {"emptied field gives 0", 1004, "", "      0  (volume of training)"},
        {"only the first ten characters count", 1000, "   123.4567891",
         "123.456  (distance in centimeters)"},
        {"answer time typed as a whole number", 1005, "7",
         "  7.000  (time for the ansver in seconds)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::reset_program_state();
        WorkingFolder case_folder;
        HeadlessPlatform case_platform;
        case_platform.set_dialog_script([&](gfx::Dialog& dialog, int) {
            dialog.set_text(c.field, c.text);
            dialog.activate(params::k_begin_button);
        });
        const RunOutcome outcome =
            case_platform.run({}, [](gfx::Canvas& canvas) { params::VVDALND(canvas); });
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_NE(case_folder.read("pelidor.vvd").find(c.saved_line + "\r\n"), std::string::npos)
            << case_folder.read("pelidor.vvd");
    }
}

GTEST_TEST_F(ParametersDialogTest, TextThatIsNotANumberKeepsTheDialogOpenAndNamesTheField) {
    folder.write("pelidor.vvd", "123.000\n");
    std::vector<std::string> file_while_open;
    repair = [&](gfx::Dialog& dialog) {
        file_while_open.push_back(folder.read("pelidor.vvd"));
        // The user mends one field at a time.
        if (dialog.text(1001) == "1.2.3") {
            dialog.set_text(1001, "19");
        } else {
            dialog.set_text(1003, "1280");
        }
    };
    const RunOutcome outcome = run({{1001, "1.2.3"}, {1003, "12a"}}, params::k_begin_button);
    ASSERT_EQ(platform.dialog_refusals().size(), 2u);
    EXPECT_EQ(platform.dialog_refusals()[0].control_id, 1001);
    EXPECT_NE(platform.dialog_refusals()[0].message.find("Diagonal of display"), std::string::npos);
    EXPECT_EQ(platform.dialog_refusals()[1].control_id, 1003);
    // Nothing was saved while a field was wrong; what the user typed was kept.
    EXPECT_EQ(file_while_open, (std::vector<std::string>{"123.000\n", "123.000\n"}));
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_FLOAT_EQ(state::run().parameters.DIST, 123.0f);
    EXPECT_FLOAT_EQ(state::run().parameters.DIAG, 19.0f);
    EXPECT_EQ(state::run().parameters.NX, 1280);
    EXPECT_EQ(folder.read("pelidor.vvd").substr(0, 9), "123.000  ");
}

GTEST_TEST_F(ParametersDialogTest, ANumberBeyondTheRangeOfARealIsRefused) {
    repair = [](gfx::Dialog& dialog) { dialog.set_text(1000, "150"); };
    const RunOutcome outcome = run({{1000, "1e99"}}, params::k_begin_button);
    ASSERT_EQ(platform.dialog_refusals().size(), 1u);
    EXPECT_EQ(platform.dialog_refusals()[0].control_id, 1000);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_FLOAT_EQ(state::run().parameters.DIST, 150.0f);
}

GTEST_TEST_F(ParametersDialogTest, AsterisksOfATooWideResolutionMustBeReplaced) {
    folder.write("pelidor.vvd", "200.000\n 17.700\n    768\n  12000\n    100\n 50.000\n");
    repair = [](gfx::Dialog& dialog) { dialog.set_text(1003, "1280"); };
    const RunOutcome outcome = run({}, params::k_begin_button);
    EXPECT_EQ(shown[1003], "****");
    ASSERT_EQ(platform.dialog_refusals().size(), 1u);
    EXPECT_EQ(platform.dialog_refusals()[0].control_id, 1003);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(state::run().parameters.NX, 1280);
}

GTEST_TEST_F(ParametersDialogTest, ExitEndsTheProgramWithoutTouchingTheFile) {
    folder.write("pelidor.vvd", "123.000\n");
    const RunOutcome outcome = run({{1000, "99"}, {1001, "letters"}}, params::k_exit_button);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(folder.read("pelidor.vvd"), "123.000\n");
    ASSERT_EQ(platform.tones().size(), 1u);
    EXPECT_EQ(platform.tones()[0].duration_ms, 0);
}

GTEST_TEST_F(ParametersDialogTest, AFileThatCannotBeWrittenIsReported) {
    std::filesystem::create_directories(folder.path() / "pelidor.vvd");
    const RunOutcome outcome = run({}, params::k_begin_button);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::fatal_error);
    EXPECT_NE(outcome.message.find("forrtl: severe ("), std::string::npos);
    EXPECT_NE(outcome.message.find("file pelidor.vvd"), std::string::npos);
}

}  // namespace
