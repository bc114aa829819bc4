#include "exercises/training.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "exercises/training_answer.h"
#include "exercises/training_summary.h"
#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "program_scenario.h"
#include "scripted_trainee.h"
#include "state/shared_state.h"

namespace {

using gfx::Colour;
using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using state::FigureTables;
using testing_support::Heard;
using testing_support::k_log_header;
using testing_support::Reply;
using testing_support::Trainee;
using testing_support::WorkingFolder;

// The defaults: 200 cm, 100 presentations, 50 s for an answer.
// Colours (0x00BBGGRR) of the summary screen as the user must see them.
constexpr gfx::Colour k_green = 0x00AA00;
constexpr gfx::Colour k_red = 0x0000FF;
constexpr state::Parameters k_parameters{200.0f, 17.7f, 1024, 768, 100, 50.0f};

class TrainingTest : public ::testing::Test {
  protected:
    TrainingTest() {
        testing_support::reset_program_state();
        state::run().parameters = k_parameters;
        platform.set_date({2010, 3, 5});
        platform.set_time({14, 7, 9, 42});
        // A trainee who never sees the prompt would otherwise wait for an hour of virtual time.
        platform.set_time_limit(600);
        open_window(980, 650);
    }
    ~TrainingTest() override { testing_support::reset_program_state(); }

    void open_window(int width, int height) {
        testing_support::open_trainer(platform,
                                      {static_cast<int16_t>(width), static_cast<int16_t>(height)});
    }

    // Runs the exercise with figure K as the start screen calls it, after a left click, with a
    // trainee who replies as told and, if given, another user acting beside it.
    RunOutcome train(int K, std::function<Reply(int)> reply = {}, int reaction_ms = 350,
                     HeadlessPlatform::ScriptedUser also = {}) {
        state::run().figures = testing_support::default_figures();
        trainee = std::make_unique<Trainee>(K, state::run().figures, platform.tones().size());
        if (reply) trainee->reply = std::move(reply);
        trainee->reaction_ms = reaction_ms;
        platform.set_user([this, also](HeadlessPlatform& s) {
            (*trainee)(s);
            if (also) also(s);
        });
        state::store(state::run().MDOWN, 0);
        state::store(state::run().MBUTTON, 1);
        state::store(state::run().MEVENT, 1);
        start_ms = platform.now_ms();
        return platform.run(nullptr, [K](gfx::Canvas& canvas) {
            int32_t shown = K;
            exercises::TEST(canvas, shown, state::run().figures, state::run().NXW,
                            state::run().NYW);
        });
    }

    testing_support::Heard tones_of(int frequency) const {
        return testing_support::tones_of(platform, frequency, start_ms);
    }

    std::vector<std::string> log_lines() const { return testing_support::log_lines(folder); }

    int count_colour(Colour colour, int x1, int y1, int x2, int y2) const {
        int count = 0;
        for (int y = y1; y <= y2; ++y) {
            for (int x = x1; x <= x2; ++x) count += platform.pixel(x, y) == colour ? 1 : 0;
        }
        return count;
    }

    WorkingFolder folder;
    HeadlessPlatform platform;
    std::unique_ptr<Trainee> trainee;
    int64_t start_ms = 0;
};

std::string training_record(const std::string& counts) {
    return " 05.03.2010.,  14hour 7min  9sec, D=  200.0cm  Is=" + counts;
}

// ---- whole runs

GTEST_TEST_F(TrainingTest, AnAttentiveTraineeEarnsNoPushUps) {
    const auto wall_start = std::chrono::steady_clock::now();
    const RunOutcome outcome = train(4);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    RecordProperty("wall_seconds_for_100_presentations", std::to_string(wall.count()));

    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
    EXPECT_EQ(trainee->windows_seen, 100);
    EXPECT_EQ(tones_of(800).size(), 100u);
    EXPECT_EQ(platform.tones().size(), 200u);
    // Each presentation: 1 s of grey, the reply after 350 ms, its 200 ms tone.
    EXPECT_EQ(tones_of(1000)[99].second, 99 * 1550 + 1000);
    // The progress bar grows to the full width: columns 0 to 979·j div 100 in window j.
    ASSERT_EQ(trainee->cyan_columns.size(), 100u);
    EXPECT_EQ(trainee->cyan_columns[0], 10);
    EXPECT_EQ(trainee->cyan_columns[49], 490);
    EXPECT_EQ(trainee->cyan_columns[99], 980);

    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{k_log_header,
                                        training_record("   4  Np= 100 Nt= 100 Ner=   0 Nna=   "
                                                        "0 t_av=    0.35s  Npup=   0")}));
    // The praise in green, nothing in red; the prompt was answered and ended the exercise.
    EXPECT_GT(count_colour(k_green, 55, 280, 600, 347), 100);
    EXPECT_EQ(count_colour(k_red, 0, 0, 979, 649), 0);
    EXPECT_GT(trainee->prompt_clicked_ms, 0);
    EXPECT_EQ(platform.now_ms(), trainee->prompt_clicked_ms);
}

GTEST_TEST_F(TrainingTest, WrongAndMissedAnswersArePunishedAndLogged) {
    state::run().parameters.NVOL = 3;
    state::run().parameters.TANS = 2.5f;
    const Reply replies[] = {Reply::figure_side, Reply::other_side, Reply::none};
    const RunOutcome outcome = train(
        5, [&](int presentation) { return replies[presentation - 1]; }, 1234);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);

    // Window 2 opens at 3434 ms; its wrong answer at 1234 ms sounds 300 ms, then 3 s of pause
    // and the third frame's grey second pass before window 3 opens; that one runs out after
    // TANS.
    EXPECT_EQ(tones_of(1000), (Heard{{200, 1000}, {200, 3434}, {200, 8968}}));
    EXPECT_EQ(tones_of(800), (Heard{{200, 2234}}));
    EXPECT_EQ(tones_of(200), (Heard{{300, 4668}}));
    EXPECT_EQ(tones_of(400), (Heard{{300, 11468}}));

    // The file is created with its header. The average is over the two answers only; the
    // wrong one costs two push-ups, the missed one one.
    EXPECT_EQ(
        folder.read("pelidor.rtr"),
        k_log_header + "\r\n" +
            training_record("   5  Np=   3 Nt=   1 Ner=   1 Nna=   1 t_av=    1.23s  Npup=   3") +
            "\r\n");
    // "Make", the count and the request in red.
    EXPECT_GT(count_colour(k_red, 30, 280, 140, 347), 50);
    EXPECT_GT(count_colour(k_red, 200, 235, 380, 354), 50);
    EXPECT_GT(count_colour(k_red, 370, 280, 850, 347), 50);
}

GTEST_TEST_F(TrainingTest, NothingAnsweredCostsOnePushUpEachAndHasNoAverage) {
    state::run().parameters.NVOL = 3;
    state::run().parameters.TANS = 2.5f;
    open_window(980, 640);  // the direct path: no grey second
    const RunOutcome outcome = train(6, [](int) { return Reply::none; });
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);

    // Each presentation lasts TANS and its 300 ms tone.
    EXPECT_EQ(tones_of(1000), (Heard{{200, 0}, {200, 2800}, {200, 5600}}));
    EXPECT_EQ(tones_of(400), (Heard{{300, 2500}, {300, 5300}, {300, 8100}}));
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{k_log_header,
                                        training_record("   6  Np=   3 Nt=   0 Ner=   0 Nna=   "
                                                        "3 t_av=     NaNs  Npup=   3")}));
}

GTEST_TEST_F(TrainingTest, NoVolumeMakesNoPresentationButStillReportsAndLogs) {
    for (const int32_t volume : {0, -5}) {
        SCOPED_TRACE(volume);
        std::filesystem::remove("pelidor.rtr");
        state::run().parameters.NVOL = volume;
        const RunOutcome outcome = train(3);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_TRUE(platform.tones().empty());
        EXPECT_EQ(log_lines(),
                  (std::vector<std::string>{
                      k_log_header, training_record("   3  Np=   0 Nt=   0 Ner=   0 "
                                                    "Nna=   0 t_av=     NaNs  Npup=   0")}));
        EXPECT_GT(count_colour(k_green, 55, 280, 600, 347), 100);
        EXPECT_GT(trainee->prompt_clicked_ms, 0);
    }
}

GTEST_TEST_F(TrainingTest, BothButtonsOrAGraphRequestAbandonWithoutSummaryOrRecord) {
    struct Case {
        const char* what;
        bool image_path;
        Reply second_reply;
        int64_t press_both_at_ms;  // -1: not pressed by the other user
        int windows_opened;
        int tones;
        int64_t returned_at_ms;
    };
    const Case cases[] = {
        // Image path: window 1 opens at 1000 and is answered at 1350; the second frame's grey
        // second runs from 1550 to 2550, its window opens at 2550.
        {"both buttons while the second frame is composed", true, Reply::figure_side, 2000, 1, 2,
         2550},
        {"both buttons while the second answer is awaited", true, Reply::both_buttons, -1, 2, 3,
         2900},
        {"graph request while the second answer is awaited", true, Reply::graph_request, -1, 2, 3,
         2900},
        // Direct path: window 1 opens at once, is answered at 350 with a tone until 550, and the
        // second frame is drawn at 550 without a blank.
        {"both buttons during a tone, seen while the next frame is drawn", false,
         Reply::figure_side, 450, 1, 2, 550},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::reset_program_state();
        state::run().parameters = k_parameters;
        open_window(980, c.image_path ? 650 : 640);
        const Reply second_reply = c.second_reply;
        const int64_t first_tone = static_cast<int64_t>(platform.tones().size());
        const int64_t press_at =
            c.press_both_at_ms < 0 ? -1 : platform.now_ms() + c.press_both_at_ms;
        const RunOutcome outcome = train(
            4,
            [second_reply](int presentation) {
                return presentation == 1 ? Reply::figure_side : second_reply;
            },
            350,
            [press_at](HeadlessPlatform& s) {
                if (s.now_ms() != press_at) return;
                s.press(gfx::k_key_left);
                s.press(gfx::k_key_right);
            });
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::stopped);
        EXPECT_EQ(trainee->windows_seen, c.windows_opened);
        EXPECT_EQ(platform.now_ms() - start_ms, c.returned_at_ms);
        EXPECT_EQ(static_cast<int64_t>(platform.tones().size()) - first_tone, c.tones);
        EXPECT_FALSE(folder.exists("pelidor.rtr"));
        EXPECT_NE(platform.pixel(0, 15), gfx::k_white) << "no summary";
        platform.release(gfx::k_key_left);
        platform.release(gfx::k_key_right);
    }
}

}  // namespace
