#include "exercises/training.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/figure_file.h"
#include "app/mouse_input.h"
#include "exercises/training_answer.h"
#include "exercises/training_summary.h"
#include "gfx/headless/headless_platform.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using gfx::Colour;
using gfx::HeadlessPlatform;
using gfx::RunOutcome;
using state::FigureTables;
using testing_support::WorkingFolder;

// The defaults: 200 cm, 100 presentations, 50 s for an answer.
// Colours (0x00BBGGRR) of the progress bar and the summary screen as the user must see them.
constexpr gfx::Colour k_cyan = 0xFFFF00;
constexpr gfx::Colour k_blue = 0xFF0000;
constexpr gfx::Colour k_green = 0x00AA00;
constexpr gfx::Colour k_red = 0x0000FF;
constexpr state::Parameters k_parameters{200.0f, 17.7f, 1024, 768, 100, 50.0f};

const std::string k_header =
    "     Date             Time         Distance     MeasureNpresent Ntrue_ans Nerrors "
    "Nno_ans  Av.tim.ans    Npush-ups ";

const FigureTables& default_figures() {
    static const FigureTables figures = [] {
        FigureTables loaded;
        app::load_figures(
            loaded, (std::filesystem::path(PELIDOR_SOURCE_DIR) / "data" / "pelidor.sym").string());
        return loaded;
    }();
    return figures;
}

// How the trainee answers one presentation.
enum class Reply { figure_side, other_side, none, both_buttons, graph_request };

// A user in front of the training screen. When the opening tone of an answer window sounds it
// notes the progress bar; `reaction_ms` after the window opened it looks at the two places
// where the figure may stand and replies; when the closing prompt shows it clicks.
class Trainee {
  public:
    // Tones before `tones_before` were heard before this trainee sat down.
    Trainee(int K, const FigureTables& figures, std::size_t tones_before)
        : K_(K), figures_(figures), tones_heard_(tones_before) {}

    std::function<Reply(int presentation)> reply = [](int) { return Reply::figure_side; };
    int reaction_ms = 350;

    int windows_seen = 0;
    std::vector<int> cyan_columns;  // progress bar length as each window opened
    int64_t prompt_clicked_ms = -1;

    void operator()(HeadlessPlatform& s) {
        while (tones_heard_ < s.tones().size()) {
            const gfx::ToneRecord& tone = s.tones()[tones_heard_++];
            if (tone.frequency != 1000) continue;
            ++windows_seen;
            opened_ms_ = std::llround(tone.at_seconds * 1000);
            cyan_columns.push_back(count_cyan(s));
        }
        if (opened_ms_ >= 0 && s.now_ms() == opened_ms_ + reaction_ms) act(s);
        if (prompt_clicked_ms < 0 && prompt_shown(s)) {
            s.click(gfx::k_key_left);
            prompt_clicked_ms = s.now_ms();
        }
    }

  private:
    void act(HeadlessPlatform& s) {
        switch (reply(windows_seen)) {
            case Reply::figure_side:
                s.click(figure_on_right(s) ? gfx::k_key_right : gfx::k_key_left);
                break;
            case Reply::other_side:
                s.click(figure_on_right(s) ? gfx::k_key_left : gfx::k_key_right);
                break;
            case Reply::none:
                break;
            case Reply::both_buttons:
                s.press(gfx::k_key_left);
                s.press(gfx::k_key_right);
                break;
            case Reply::graph_request:
                s.choose(1);
                break;
        }
    }

    // The last point of the figure is drawn last, so its whole block shows where it stands.
    bool block_shown(const HeadlessPlatform& s, int xoff) const {
        const int point = figures_.count(K_);
        for (int across = 1; across <= 2 * K_; ++across) {
            for (int down = 1; down <= 2 * K_; ++down) {
                const Colour expected =
                    (across <= K_) == (down <= K_) ? gfx::k_white : gfx::k_black;
                const int x = figures_.column(point, K_) + xoff + across;
                const int y = figures_.row(point, K_) + down;
                if (s.pixel(x, y) != expected) return false;
            }
        }
        return true;
    }

    bool figure_on_right(const HeadlessPlatform& s) const {
        const bool left = block_shown(s, 20 / K_ * K_);
        const bool right = block_shown(s, 450 / K_ * K_);
        EXPECT_NE(left, right) << "the trainee cannot tell where the figure is";
        return right;
    }

    static int count_cyan(const HeadlessPlatform& s) {
        int count = 0;
        while (count < 980 && s.pixel(count, 5) == k_cyan) ++count;
        return count;
    }

    // The summary screen is white behind the bars' rows; the prompt is blue text near (60, 550).
    static bool prompt_shown(const HeadlessPlatform& s) {
        if (s.pixel(0, 15) != gfx::k_white) return false;
        for (int y = 550; y < 588; ++y) {
            for (int x = 60; x < 400; ++x) {
                if (s.pixel(x, y) == k_blue) return true;
            }
        }
        return false;
    }

    int K_;
    const FigureTables& figures_;
    std::size_t tones_heard_;
    int64_t opened_ms_ = -1;
};

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
        plot::PAGE(platform.canvas(), 1, static_cast<int16_t>(height), static_cast<int16_t>(width),
                   "Trainer for eyes");
        plot::SETCOL(platform.canvas(), 7);
        platform.canvas().initialize_fonts();
        state::run().NXW = static_cast<int16_t>(width);
        state::run().NYW = static_cast<int16_t>(height);
        platform.canvas().register_mouse(1, app::k_mouse_event_mask, app::on_mouse);
        if (platform.menu_items().empty()) {
            platform.append_menu(1, gfx::k_menu_enabled, "Effect from training", [](int) {
                state::store(state::run().MODEREQ, state::k_graph_request);
            });
        }
    }

    // Runs the exercise with figure K as the start screen calls it, after a left click, with a
    // trainee who replies as told and, if given, another user acting beside it.
    RunOutcome train(int K, std::function<Reply(int)> reply = {}, int reaction_ms = 350,
                     HeadlessPlatform::ScriptedUser also = {}) {
        state::run().figures = default_figures();
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

    // Tones of one frequency, in order, as (duration, virtual ms from the start).
    std::vector<std::pair<int, int64_t>> tones_of(int frequency) const {
        std::vector<std::pair<int, int64_t>> heard;
        for (const gfx::ToneRecord& tone : platform.tones()) {
            if (tone.frequency == frequency)
                heard.emplace_back(tone.duration_ms,
                                   std::llround(tone.at_seconds * 1000) - start_ms);
        }
        return heard;
    }

    std::vector<std::string> log_lines() const {
        std::vector<std::string> lines;
        const std::string text = folder.read("pelidor.rtr");
        std::size_t begin = 0;
        for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos;
             begin = end + 2) {
            lines.push_back(text.substr(begin, end - begin));
        }
        EXPECT_EQ(begin, text.size()) << "the log ends inside a line";
        return lines;
    }

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

    EXPECT_EQ(log_lines(), (std::vector<std::string>{
                               k_header, training_record("   4  Np= 100 Nt= 100 Ner=   0 Nna=   "
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
    using Heard = std::vector<std::pair<int, int64_t>>;
    EXPECT_EQ(tones_of(1000), (Heard{{200, 1000}, {200, 3434}, {200, 8968}}));
    EXPECT_EQ(tones_of(800), (Heard{{200, 2234}}));
    EXPECT_EQ(tones_of(200), (Heard{{300, 4668}}));
    EXPECT_EQ(tones_of(400), (Heard{{300, 11468}}));

    // The file is created with its header. The average is over the two answers only; the
    // wrong one costs two push-ups, the missed one one.
    EXPECT_EQ(
        folder.read("pelidor.rtr"),
        k_header + "\r\n" +
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
    using Heard = std::vector<std::pair<int, int64_t>>;
    EXPECT_EQ(tones_of(1000), (Heard{{200, 0}, {200, 2800}, {200, 5600}}));
    EXPECT_EQ(tones_of(400), (Heard{{300, 2500}, {300, 5300}, {300, 8100}}));
    EXPECT_EQ(log_lines(), (std::vector<std::string>{
                               k_header, training_record("   6  Np=   3 Nt=   0 Ner=   0 Nna=   "
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
                      k_header, training_record("   3  Np=   0 Nt=   0 Ner=   0 "
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
