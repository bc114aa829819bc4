#include "exercises/training_answer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/mouse_input.h"
#include "gfx/headless/headless_service.h"
#include "plot/page.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using exercises::AnswerOutcome;
using exercises::AnswerResult;
using exercises::FigurePlacement;
using gfx::Colour;
using gfx::HeadlessService;

constexpr FigurePlacement k_left{false, 16};
constexpr FigurePlacement k_right{true, 448};

// What the user does once the window is open.
enum class Action { nothing, left, right, both, graph_request };

struct Tone {
    int frequency;
    int duration_ms;
    int64_t at_ms;  // from the opening of the window
    bool operator==(const Tone&) const = default;
};

void clear_mouse_and_requests() {
    for (auto* variable : {&state::MBUTTON, &state::MEVENT, &state::MDOWN, &state::MODEREQ})
        state::store(*variable, 0);
}

std::ostream& operator<<(std::ostream& out, const Tone& tone) {
    return out << tone.frequency << " Hz " << tone.duration_ms << " ms at " << tone.at_ms;
}

class AnswerWindowTest : public ::testing::Test {
  protected:
    AnswerWindowTest() {
        testing_support::reset_program_state();
        plot::PAGE(service, 1, 650, 980, "Trainer for eyes");
        service.register_mouse(1, app::k_mouse_event_mask, app::TYPXY);
        service.append_menu(1, gfx::k_menu_enabled, "Effect from training",
                            [](int) { state::store(state::MODEREQ, state::k_graph_request); });
        state::parameters.TANS = 2.5f;
        exercises::draw_idle_bars(service, 980);
    }
    ~AnswerWindowTest() override { testing_support::reset_program_state(); }

    // Opens the answer window of presentation `number` of `count` with a user who does
    // `action` `act_at_ms` after it opened.
    AnswerResult await(const FigurePlacement& placement, Action action, int64_t act_at_ms,
                       int32_t number = 1, int32_t count = 10, int16_t width = 980) {
        opened_ms = service.now_ms();
        first_tone = service.tones().size();
        service.set_user([=, this](HeadlessService& s) {
            if (s.now_ms() == opened_ms + 1) progress_row = row(s, 5, width);
            if (s.now_ms() != opened_ms + act_at_ms) return;
            switch (action) {
                case Action::nothing:
                    break;
                case Action::left:
                    s.click(gfx::k_key_left);
                    break;
                case Action::right:
                    s.click(gfx::k_key_right);
                    break;
                case Action::both:
                    s.press(gfx::k_key_left);
                    s.press(gfx::k_key_right);
                    break;
                case Action::graph_request:
                    s.choose(1);
                    break;
            }
        });
        AnswerResult result;
        const gfx::RunOutcome outcome = service.run(nullptr, [&](gfx::WindowService& ws) {
            result = exercises::await_answer(ws, width, number, count, placement);
        });
        EXPECT_EQ(outcome.kind, gfx::RunOutcome::Kind::stopped);
        service.set_user({});
        return result;
    }

    int64_t elapsed_ms() const { return service.now_ms() - opened_ms; }

    std::vector<Tone> tones() const {
        std::vector<Tone> heard;
        for (std::size_t i = first_tone; i < service.tones().size(); ++i) {
            const gfx::ToneRecord& tone = service.tones()[i];
            heard.push_back({tone.frequency, tone.duration_ms,
                             std::llround(tone.at_seconds * 1000) - opened_ms});
        }
        return heard;
    }

    static std::vector<Colour> row(const HeadlessService& s, int y, int width) {
        std::vector<Colour> pixels;
        for (int x = 0; x < width; ++x) pixels.push_back(s.pixel(x, y));
        return pixels;
    }

    HeadlessService service;
    int64_t opened_ms = 0;
    std::size_t first_tone = 0;
    std::vector<Colour> progress_row;  // row 5 as the window opened
};

GTEST_TEST_F(AnswerWindowTest, AnswersAreJudgedTimedAndSounded) {
    struct Case {
        const char* what;
        FigurePlacement placement;
        Action action;
        int64_t act_at_ms;
        AnswerOutcome outcome;
        float seconds;
        std::vector<Tone> tones;
        int64_t duration_ms;  // until the window closes
    };
    const Case cases[] = {
        {"left click on a left figure, timed to the millisecond",
         k_left,
         Action::left,
         1234,
         AnswerOutcome::correct,
         1.234f,
         {{1000, 200, 0}, {800, 200, 1234}},
         1434},
        {"right click on a right figure",
         k_right,
         Action::right,
         601,
         AnswerOutcome::correct,
         0.601f,
         {{1000, 200, 0}, {800, 200, 601}},
         801},
        {"right click on a left figure is wrong and pauses 3 s after its tone",
         k_left,
         Action::right,
         900,
         AnswerOutcome::wrong,
         0.9f,
         {{1000, 200, 0}, {200, 300, 900}},
         4200},
        {"left click on a right figure is wrong",
         k_right,
         Action::left,
         2000,
         AnswerOutcome::wrong,
         2.0f,
         {{1000, 200, 0}, {200, 300, 2000}},
         5300},
        {"click during the opening tone counts when the tone ends",
         k_left,
         Action::left,
         50,
         AnswerOutcome::correct,
         0.2f,
         {{1000, 200, 0}, {800, 200, 200}},
         400},
        {"no click: unanswered after TANS",
         k_right,
         Action::nothing,
         0,
         AnswerOutcome::not_answered,
         0,
         {{1000, 200, 0}, {400, 300, 2500}},
         2800},
        {"a click after TANS is too late",
         k_left,
         Action::left,
         2501,
         AnswerOutcome::not_answered,
         0,
         {{1000, 200, 0}, {400, 300, 2500}},
         2800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The click that started the exercise is still latched and must not count.
        state::store(state::MEVENT, 1);
        state::store(state::MBUTTON, 1);
        const AnswerResult result = await(c.placement, c.action, c.act_at_ms);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != AnswerOutcome::not_answered) {
            EXPECT_NEAR(result.seconds, c.seconds, 0.0005);
        }
        EXPECT_EQ(tones(), c.tones);
        EXPECT_EQ(elapsed_ms(), c.duration_ms);
        EXPECT_EQ(service.pixel(0, 10), exercises::k_signal_idle);
        EXPECT_EQ(service.pixel(979, 19), exercises::k_signal_idle);
    }
}

GTEST_TEST_F(AnswerWindowTest, BothButtonsOrAMenuRequestAbandonAtOnceLeavingTheScreen) {
    struct Case {
        const char* what;
        Action action;
        int64_t act_at_ms;
        bool request_before;  // a request made while the frame was drawn
        int64_t duration_ms;
    };
    const Case cases[] = {
        {"both buttons while the answer is awaited", Action::both, 700, false, 700},
        {"both buttons during the opening tone", Action::both, 100, false, 200},
        {"progress-graph request while the answer is awaited", Action::graph_request, 700, false,
         700},
        {"request made while the frame was drawn: seen at the first poll", Action::nothing, 0, true,
         200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear_mouse_and_requests();
        if (c.request_before) state::store(state::MODEREQ, state::k_graph_request);
        const AnswerResult result = await(k_left, c.action, c.act_at_ms);
        EXPECT_EQ(result.outcome, AnswerOutcome::abandoned);
        EXPECT_EQ(elapsed_ms(), c.duration_ms);
        EXPECT_EQ(tones(), (std::vector<Tone>{{1000, 200, 0}}));
        // The signal bar stays as it was: green.
        EXPECT_EQ(service.pixel(0, 15), exercises::k_signal_waiting);
        if (c.action == Action::both) {
            service.release(gfx::k_key_left);
            service.release(gfx::k_key_right);
        }
    }
}

GTEST_TEST_F(AnswerWindowTest, ProgressBarShowsThePresentationsMade) {
    struct Case {
        int32_t number;
        int32_t count;
        int16_t width;
        int last_cyan;  // P = (width - 1)·number div count
    };
    const Case cases[] = {
        {1, 100, 980, 9}, {50, 100, 980, 489}, {99, 100, 980, 969}, {100, 100, 980, 979},
        {1, 3, 980, 326}, {2, 3, 980, 652},    {1, 1, 700, 699},    {7, 9999, 980, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.number) + " of " + std::to_string(c.count) + ", width " +
                     std::to_string(c.width));
        exercises::draw_idle_bars(service, c.width);
        clear_mouse_and_requests();
        await(k_left, Action::left, 300, c.number, c.count, c.width);
        ASSERT_EQ(progress_row.size(), static_cast<std::size_t>(c.width));
        for (int x = 0; x < c.width; ++x) {
            const Colour expected =
                x <= c.last_cyan ? exercises::k_progress_done : exercises::k_progress_to_do;
            ASSERT_EQ(progress_row[x], expected) << "x " << x;
        }
    }
}

}  // namespace
