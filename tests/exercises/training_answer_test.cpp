#include "exercises/training_answer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/trainer_window.h"
#include "gfx/headless/headless_platform.h"
#include "gfx/qt/child_window.h"
#include "gfx/qt/qt_platform.h"
#include "program_fixture.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"

namespace {

using exercises::AnswerOutcome;
using exercises::AnswerResult;
using exercises::FigurePlacement;
using gfx::Colour;
using gfx::HeadlessPlatform;

// Colours (0x00BBGGRR) of the progress and signal bars as the user must see them.
constexpr gfx::Colour k_cyan = 0xFFFF00;
constexpr gfx::Colour k_blue = 0xFF0000;
constexpr gfx::Colour k_green = 0x00FF00;
constexpr gfx::Colour k_red = 0x0000FF;

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
    for (auto* variable :
         {&state::run().MBUTTON, &state::run().MEVENT, &state::run().MDOWN, &state::run().MODEREQ})
        state::store(*variable, 0);
}

std::ostream& operator<<(std::ostream& out, const Tone& tone) {
    return out << tone.frequency << " Hz " << tone.duration_ms << " ms at " << tone.at_ms;
}

// The twin with a screen that takes `show_ms` to show what is drawn, as a real one takes a
// moment, and tones that return `tone_late_ms` after their length, as a busy sound device may.
class SlowScreenPlatform : public HeadlessPlatform {
  public:
    void wait_until_shown() override {
        if (show_ms > 0) sleep_ms(show_ms);
    }
    void beep(int frequency, int duration_ms) override {
        HeadlessPlatform::beep(frequency, duration_ms);
        if (tone_late_ms > 0) sleep_ms(tone_late_ms);
    }
    int show_ms = 0;
    int tone_late_ms = 0;
};

class AnswerWindowTest : public ::testing::Test {
  protected:
    AnswerWindowTest() {
        testing_support::reset_program_state();
        testing_support::open_trainer(platform);
        state::run().parameters.TANS = 2.5f;
        exercises::draw_idle_bars(platform.canvas(), 980);
    }
    ~AnswerWindowTest() override { testing_support::reset_program_state(); }

    // Opens the answer window of presentation `number` of `count` with a user who does
    // `action` `act_at_ms` after it opened.
    AnswerResult await(const FigurePlacement& placement, Action action, int64_t act_at_ms,
                       int32_t number = 1, int32_t count = 10, int16_t width = 980) {
        return await(
            placement, act_at_ms,
            [=](HeadlessPlatform& s) {
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
                        s.choose(testing_support::menu_position(s, "Effect from training"));
                        break;
                }
            },
            number, count, width);
    }

    AnswerResult await(const FigurePlacement& placement, int64_t act_at_ms,
                       std::function<void(HeadlessPlatform&)> act, int32_t number = 1,
                       int32_t count = 10, int16_t width = 980) {
        opened_ms = platform.now_ms();
        first_tone = platform.tones().size();
        platform.set_user([=, this](HeadlessPlatform& s) {
            if (s.now_ms() == opened_ms + 1) progress_row = row(s, 5, width);
            if (s.now_ms() == opened_ms + act_at_ms) act(s);
        });
        AnswerResult result;
        const gfx::RunOutcome outcome = platform.run(nullptr, [&](gfx::Canvas& canvas) {
            result = exercises::await_answer(canvas, width, number, count, placement);
        });
        EXPECT_EQ(outcome.kind, gfx::RunOutcome::Kind::stopped);
        platform.set_user({});
        return result;
    }

    int64_t elapsed_ms() const { return platform.now_ms() - opened_ms; }

    std::vector<Tone> tones() const {
        std::vector<Tone> heard;
        for (std::size_t i = first_tone; i < platform.tones().size(); ++i) {
            const gfx::ToneRecord& tone = platform.tones()[i];
            heard.push_back({tone.frequency, tone.duration_ms,
                             std::llround(tone.at_seconds * 1000) - opened_ms});
        }
        return heard;
    }

    static std::vector<Colour> row(const HeadlessPlatform& s, int y, int width) {
        std::vector<Colour> pixels;
        for (int x = 0; x < width; ++x) pixels.push_back(s.pixel(x, y));
        return pixels;
    }

    SlowScreenPlatform platform;
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
        {"click during the opening tone counts from the tone's end, and is heard after it",
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
    std::vector<state::TimedAnswer> told;
    state::run().answer_listener = [&](const state::TimedAnswer& answer) {
        told.push_back(answer);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        told.clear();
        // The click that started the exercise is still latched and must not count.
        state::store(state::run().MEVENT, 1);
        state::store(state::run().MBUTTON, 1);
        const AnswerResult result = await(c.placement, c.action, c.act_at_ms);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != AnswerOutcome::not_answered) {
            EXPECT_NEAR(result.seconds, c.seconds, 0.0005);
            // The listener hears every answer as it was counted.
            EXPECT_EQ(told.size(), 1u);
            if (!told.empty()) {
                EXPECT_EQ(told[0].correct, result.outcome == AnswerOutcome::correct);
                EXPECT_EQ(told[0].seconds, result.seconds);
            }
        } else {
            EXPECT_TRUE(told.empty());
        }
        EXPECT_EQ(tones(), c.tones);
        EXPECT_EQ(elapsed_ms(), c.duration_ms);
        EXPECT_EQ(platform.pixel(0, 10), k_red);
        EXPECT_EQ(platform.pixel(979, 19), k_red);
    }
}

GTEST_TEST_F(AnswerWindowTest, AFreshRunHasNoAnswerListener) {
    // A listener set in one run must not hear the answers of the next.
    int heard = 0;
    state::run().answer_listener = [&](const state::TimedAnswer&) { ++heard; };
    await(k_left, Action::left, 500);
    ASSERT_EQ(heard, 1);

    state::start_run();
    state::run().parameters.TANS = 2.5f;
    const AnswerResult result = await(k_left, Action::left, 500);
    EXPECT_EQ(result.outcome, AnswerOutcome::correct);
    EXPECT_EQ(heard, 1);
    EXPECT_FALSE(state::run().answer_listener);
}

GTEST_TEST_F(AnswerWindowTest, AnswerTimeIsThePressOwnMomentFromTheStartOfThePoll) {
    // The poll begins once the 200 ms opening tone has played: a press during the tone counts
    // from then, a later one from its own moment.
    struct Case {
        const char* what;
        int64_t seen_ms;                  // the press arrives, from the opening of the window
        std::optional<int64_t> stamp_ms;  // its stamp, from the opening; nullopt: none
        int tone_late_ms;                 // the opening tone returns this much after its length
        float seconds;
    };
    const Case cases[] = {
        {"during the tone: counts from the tone's end", 50, 50, 0, 0.2f},
        {"at the opening itself: counts from the tone's end", 50, 0, 0, 0.2f},
        {"during a tone that returned late: counts from its return", 50, 50, 30, 0.23f},
        {"after the tone: timed at its stamp", 450, 450, 0, 0.45f},
        {"after the tone, seen later than stamped: timed at its stamp", 450, 300, 0, 0.3f},
        {"not stamped, during the tone: timed when the poll sees it", 50, std::nullopt, 0, 0.2f},
        {"not stamped, after the tone: timed when the poll sees it", 450, std::nullopt, 0, 0.45f},
        {"stamped after the poll that sees it: timed when seen", 50, 201, 0, 0.2f},
        {"stamped before the window opened: timed when seen", 450, -1, 0, 0.45f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear_mouse_and_requests();
        platform.tone_late_ms = c.tone_late_ms;
        const AnswerResult result = await(k_left, c.seen_ms, [&](HeadlessPlatform& s) {
            std::optional<double> stamp;
            if (c.stamp_ms)
                stamp = s.clock_seconds() + static_cast<double>(*c.stamp_ms - c.seen_ms) / 1000;
            s.press_stamped(gfx::k_key_left, stamp);
            s.release(gfx::k_key_left);
        });
        EXPECT_EQ(result.outcome, AnswerOutcome::correct);
        EXPECT_NEAR(result.seconds, c.seconds, 0.0005);
    }
    platform.tone_late_ms = 0;
}

// However long the screen takes to show the figure, the answer is timed from the bar that
// turns green with the figure in view, not from before the figure was on the screen.
GTEST_TEST_F(AnswerWindowTest, AnswerClockStartsWithTheFigureOnTheScreen) {
    platform.show_ms = 7;
    std::optional<int64_t> green_at_ms;
    platform.set_user([&](HeadlessPlatform& s) {
        if (!green_at_ms && s.pixel(0, 15) == k_green) green_at_ms = s.now_ms();
        if (green_at_ms && s.now_ms() == *green_at_ms + 299) s.click(gfx::k_key_left);
    });
    AnswerResult result;
    platform.run(nullptr, [&](gfx::Canvas& canvas) {
        result = exercises::await_answer(canvas, 980, 1, 10, k_left);
    });
    ASSERT_TRUE(green_at_ms);
    EXPECT_EQ(result.outcome, AnswerOutcome::correct);
    // The bar is seen in the millisecond after the clock starts.
    EXPECT_NEAR(result.seconds, 0.300f, 0.0005);
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
        if (c.request_before) state::store(state::run().MODEREQ, state::k_graph_request);
        const AnswerResult result = await(k_left, c.action, c.act_at_ms);
        EXPECT_EQ(result.outcome, AnswerOutcome::abandoned);
        EXPECT_EQ(elapsed_ms(), c.duration_ms);
        EXPECT_EQ(tones(), (std::vector<Tone>{{1000, 200, 0}}));
        // The signal bar stays as it was: green.
        EXPECT_EQ(platform.pixel(0, 15), k_green);
        if (c.action == Action::both) {
            platform.release(gfx::k_key_left);
            platform.release(gfx::k_key_right);
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
        exercises::draw_idle_bars(platform.canvas(), c.width);
        clear_mouse_and_requests();
        await(k_left, Action::left, 300, c.number, c.count, c.width);
        ASSERT_EQ(progress_row.size(), static_cast<std::size_t>(c.width));
        for (int x = 0; x < c.width; ++x) {
            const Colour expected = x <= c.last_cyan ? k_cyan : k_blue;
            ASSERT_EQ(progress_row[x], expected) << "x " << x;
        }
    }
}

// The Qt platform that keeps its first two clock readings: the opening of the answer window
// and the start of its poll, once the opening tone has played.
class OpeningQtPlatform : public gfx::QtPlatform {
  public:
    double clock_seconds() override {
        const double now = QtPlatform::clock_seconds();
        const std::lock_guard lock(mutex_);
        if (readings_.size() < 2) readings_.push_back(now);
        return now;
    }
    std::optional<double> reading(std::size_t index) const {
        const std::lock_guard lock(mutex_);
        return index < readings_.size() ? std::optional<double>(readings_[index]) : std::nullopt;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<double> readings_;
};

// A mouse event as the window system delivers it, stamped with the monotonic clock's
// milliseconds `from_now_ms` from now.
void send_stamped(QWidget* view, QEvent::Type type, Qt::MouseButton button, int64_t from_now_ms) {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    const QPointF local(100, 100);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, local, view->mapToGlobal(local), changed, held, Qt::NoModifier);
    event.setTimestamp(static_cast<uint64_t>(now.count() + from_now_ms) & 0xFFFFFFFFu);
    QApplication::sendEvent(view, &event);
}

// Serves the window thread until `done` holds; false when it did not within 10 s.
bool serve_until(const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

GTEST_TEST(AnswerWindowQtTest, AnswerTimeIsThePressOwnStampedMoment) {
    testing_support::reset_program_state();
    OpeningQtPlatform platform;
    app::prepare_trainer(platform.canvas());
    QCoreApplication::processEvents();
    QWidget* view = platform.child_view(1);
    ASSERT_NE(view, nullptr);
    state::run().parameters.TANS = 10.0f;
    // Set, so the test sees when the answer window has forgotten earlier clicks.
    state::store(state::run().MEVENT, 1);

    std::atomic<bool> answered = false;
    AnswerResult result;
    std::thread program([&] {
        result = exercises::await_answer(platform.canvas(), 980, 1, 10, k_left);
        answered = true;
    });
    // The press is delivered 50 ms after it was stamped, at least 100 ms after the poll began:
    // the answer time is the stamp's, however late the program sees it.
    const bool opened = serve_until([&] {
        const std::optional<double> poll_start = platform.reading(1);
        return poll_start && state::load(state::run().MEVENT) == 0 &&
               platform.clock_seconds() > *poll_start + 0.1;
    });
    if (opened) {
        send_stamped(view, QEvent::MouseMove, Qt::LeftButton, 4);  // shows the clocks agree
        send_stamped(view, QEvent::MouseButtonPress, Qt::LeftButton, -50);
        send_stamped(view, QEvent::MouseButtonRelease, Qt::LeftButton, 0);
    }
    const bool ended = serve_until([&] { return answered.load(); });
    if (!ended) state::store(state::run().MODEREQ, state::k_graph_request);
    program.join();
    ASSERT_TRUE(opened && ended);

    const std::optional<double> press = state::latest_press_seconds();
    ASSERT_TRUE(press);
    EXPECT_EQ(result.outcome, AnswerOutcome::correct);
    EXPECT_NEAR(result.seconds, *press - *platform.reading(0), 0.0001);
    testing_support::reset_program_state();
}

}  // namespace
