// A user starts the program, begins in the parameters dialog, clicks left on the start screen
// and trains; the stories end in the results log.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "program_scenario.h"
#include "scripted_trainee.h"
#include "state/shared_state.h"

namespace {

using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using testing_support::Heard;
using testing_support::k_log_header;
using testing_support::Reply;
using testing_support::Trainee;

// The start screen shows size 2 first: a grey second, the picture, then a hold of 5 s. A left
// click in that hold trains with size 2.
constexpr int k_first_size = 2;
constexpr int64_t k_click_in_first_hold_ms = 3000;

class TrainingStory : public testing_support::ProgramScenario {
  protected:
    // Three presentations with 2.5 s for each answer.
    TrainingStory() {
        state::Parameters parameters = testing_support::k_default_parameters;
        parameters.NVOL = 3;
        parameters.TANS = 2.5f;
        write_parameters(parameters);
    }

    // The user clicks left in the first hold, trains with `replies`, clicks the closing prompt
    // away and, two seconds later, presses both buttons on the start screen.
    RunOutcome train(std::vector<Reply> replies) {
        trainee = std::make_unique<Trainee>(k_first_size, testing_support::default_figures(), 0);
        trainee->reply = [replies](int presentation) {
            return replies.at(static_cast<std::size_t>(presentation - 1));
        };
        return run(testing_support::together({
            testing_support::click_at(k_click_in_first_hold_ms, gfx::k_key_left),
            std::ref(*trainee),
            [this](HeadlessPlatform& platform) {
                if (trainee->prompt_clicked_ms < 0) return;
                testing_support::both_buttons_at(trainee->prompt_clicked_ms + 2000)(platform);
            },
        }));
    }

    // Tones of one frequency from the moment the first answer window opened.
    Heard heard_from_first_window(int frequency) const {
        const Heard openings = tones_of(1000);
        EXPECT_FALSE(openings.empty()) << "no answer window opened";
        const int64_t first = openings.empty() ? 0 : openings.front().second;
        Heard heard = tones_of(frequency);
        for (auto& tone : heard) tone.second -= first;
        return heard;
    }

    std::unique_ptr<Trainee> trainee;
};

std::string training_line(const std::string& counts) {
    return " 05.03.2010.,  14hour 7min  9sec, D=  200.0cm  Is=   2  Np=   3 " + counts;
}

GTEST_TEST_F(TrainingStory, RightWrongAndMissedAnswersAreHeardAndLogged) {
    const RunOutcome outcome = train({Reply::figure_side, Reply::other_side, Reply::none});
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(trainee->windows_seen, 3);
    ASSERT_GT(trainee->prompt_clicked_ms, 0) << "the closing prompt never showed";

    // Each window opens with a 1000 Hz tone. The right answer after 350 ms sounds 800 Hz and
    // the next frame's grey second follows; the wrong one sounds 200 Hz for 300 ms and costs
    // 3 s of pause before the grey second; the missed one runs out after 2.5 s at 400 Hz.
    EXPECT_EQ(heard_from_first_window(1000), (Heard{{200, 0}, {200, 1550}, {200, 6200}}));
    EXPECT_EQ(heard_from_first_window(800), (Heard{{200, 350}}));
    EXPECT_EQ(heard_from_first_window(200), (Heard{{300, 1900}}));
    EXPECT_EQ(heard_from_first_window(400), (Heard{{300, 8700}}));

    // One record, after the header of a new log; the average is over the two answers.
    EXPECT_EQ(
        log_lines(),
        (std::vector<std::string>{
            k_log_header, training_line("Nt=   1 Ner=   1 Nna=   1 t_av=    0.35s  Npup=   3")}));
    const std::vector<results::LogRecord> records = testing_support::log_records();
    ASSERT_EQ(records.size(), 1u);
    const auto* record = std::get_if<results::TrainingRecord>(&records[0]);
    ASSERT_NE(record, nullptr) << "not a training record";
    EXPECT_EQ(record->Is, k_first_size);
    EXPECT_EQ(record->NVOL, 3);
    EXPECT_FLOAT_EQ(record->TAV, 0.35f);
    EXPECT_EQ(record->NPUP, 3);
    // The program ended on the both buttons after the training, at the start screen.
    EXPECT_TRUE(platform.unit_closed(1));
    EXPECT_GT(outcome.at_seconds, (trainee->prompt_clicked_ms + 2000) / 1000.0);
    EXPECT_LT(outcome.at_seconds, (trainee->prompt_clicked_ms + 2400) / 1000.0);
}

GTEST_TEST_F(TrainingStory, ATrainingNobodyAnswersIsLoggedWithoutAnAverage) {
    const RunOutcome outcome = train({Reply::none, Reply::none, Reply::none});
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(trainee->windows_seen, 3);
    // Every window runs out: 2.5 s, its 400 Hz tone, then the next frame's grey second.
    EXPECT_EQ(heard_from_first_window(1000), (Heard{{200, 0}, {200, 3800}, {200, 7600}}));
    EXPECT_EQ(heard_from_first_window(400), (Heard{{300, 2500}, {300, 6300}, {300, 10100}}));
    EXPECT_TRUE(heard_from_first_window(800).empty());
    EXPECT_TRUE(heard_from_first_window(200).empty());

    EXPECT_EQ(
        log_lines(),
        (std::vector<std::string>{
            k_log_header, training_line("Nt=   0 Ner=   0 Nna=   3 t_av=     NaNs  Npup=   3")}));
    const std::vector<results::LogRecord> records = testing_support::log_records();
    ASSERT_EQ(records.size(), 1u);
    const auto* record = std::get_if<results::TrainingRecord>(&records[0]);
    ASSERT_NE(record, nullptr) << "not a training record";
    EXPECT_TRUE(std::isnan(record->TAV));
    EXPECT_EQ(record->NPUP, 3);
}

// Both buttons 500 ms into the second window only leave the training, whichever comes up
// first; the start screen comes back, and both buttons there, 5 s later, end the program.
struct ReleaseOrder {
    const char* what;
    int first_up;
    int second_up;
};

void PrintTo(const ReleaseOrder& order, std::ostream* out) {
    *out << order.what;
}

class TrainingLeftOnBothButtons : public TrainingStory,
                                  public ::testing::WithParamInterface<ReleaseOrder> {};

TEST_P(TrainingLeftOnBothButtons, LeavesNoRecordAndTheStartScreenGoesOn) {
    const ReleaseOrder order = GetParam();
    trainee = std::make_unique<Trainee>(k_first_size, testing_support::default_figures(), 0);
    trainee->reply = [](int presentation) {
        return presentation == 1 ? Reply::figure_side : Reply::none;
    };
    int64_t pressed_ms = -1;
    const RunOutcome outcome = run(testing_support::together({
        testing_support::click_at(k_click_in_first_hold_ms, gfx::k_key_left),
        std::ref(*trainee),
        [&](HeadlessPlatform& platform) {
            if (pressed_ms < 0 && trainee->windows_seen == 2) pressed_ms = platform.now_ms() + 500;
            if (platform.now_ms() == pressed_ms) {
                platform.press(gfx::k_key_left);
                platform.press(gfx::k_key_right);
            }
            if (platform.now_ms() == pressed_ms + 300) platform.release(order.first_up);
            if (platform.now_ms() == pressed_ms + 350) platform.release(order.second_up);
            if (pressed_ms > 0) testing_support::both_buttons_at(pressed_ms + 5000)(platform);
        },
    }));
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(trainee->windows_seen, 2) << "no other training";
    EXPECT_LT(trainee->prompt_clicked_ms, 0) << "no summary after both buttons";
    // The sight check's rings open with a tone of 150 ms, a training's windows with 200 ms.
    for (const gfx::ToneRecord& tone : platform.tones())
        EXPECT_NE(tone.duration_ms, 150) << "a sight check started at " << tone.at_seconds;
    ASSERT_GT(pressed_ms, 0);
    EXPECT_GT(outcome.at_seconds, (pressed_ms + 5000) / 1000.0) << "ended by the start screen";
    EXPECT_TRUE(platform.unit_closed(1));
    EXPECT_FALSE(folder.exists("pelidor.rtr"));
}

INSTANTIATE_TEST_SUITE_P(
    BothReleaseOrders, TrainingLeftOnBothButtons,
    ::testing::Values(ReleaseOrder{"left_up_first", gfx::k_key_left, gfx::k_key_right},
                      ReleaseOrder{"right_up_first", gfx::k_key_right, gfx::k_key_left}),
    [](const ::testing::TestParamInfo<ReleaseOrder>& info) { return info.param.what; });

}  // namespace
