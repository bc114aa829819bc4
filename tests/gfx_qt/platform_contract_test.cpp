// The promises every platform makes to the program about time, input and its end, run against
// the Qt platform and against the headless twin, so the scenario tests that run on the twin stand
// for the real window.
//
// Each implementation has one fixture that knows how to make an event arrive while the program
// thread waits and how to watch the program end; the tests speak only of the platform's own
// clock.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "gfx/headless/headless_platform.h"
#include "gfx/platform.h"
#include "gfx/qt/qt_platform.h"

namespace {

using Body = std::function<void(gfx::Platform&)>;

// The twin: virtual time, the event delivered by the scripted user at its millisecond.
class HeadlessPlatform {
  public:
    gfx::Platform& platform() { return platform_; }

    // A menu command chosen `after_ms` from now while the program waits.
    void event_after(int after_ms) {
        const int64_t at = platform_.now_ms() + after_ms;
        platform_.set_user([at](gfx::HeadlessPlatform& s) {
            if (s.now_ms() == at) s.choose(1);
        });
    }
    void event_now() { platform_.choose(1); }
    void events_done() { platform_.set_user({}); }

    // Runs `body` as the program and checks that it ended through stop_program with status 0
    // and that nothing after the stop ran.
    static void expect_stopped(const Body& body) {
        gfx::HeadlessPlatform platform;
        bool went_on = false;
        const gfx::RunOutcome outcome = platform.run(nullptr, [&](gfx::Canvas& canvas) {
            body(canvas.platform());
            went_on = true;
        });
        EXPECT_EQ(outcome.kind, gfx::RunOutcome::Kind::stopped);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_FALSE(went_on);
    }

  private:
    gfx::HeadlessPlatform platform_;
};

// The Qt platform on Qt's offscreen plugin: real time, the event chosen from another thread
// as the window thread would.
class QtPlatform {
  public:
    ~QtPlatform() { events_done(); }

    gfx::Platform& platform() { return platform_; }

    void event_after(int after_ms) {
        user_ = std::thread([this, after_ms] {
            std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
            platform_.choose_menu(1);
        });
    }
    void event_now() { platform_.choose_menu(1); }
    void events_done() {
        if (user_.joinable()) user_.join();
    }

    // The real platform ends the process: the body runs in a child process.
    static void expect_stopped(const Body& body) {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                gfx::QtPlatform platform;
                body(platform);
                std::_Exit(7);  // the stop returned
            },
            testing::ExitedWithCode(0), "");
    }

  private:
    gfx::QtPlatform platform_;
    std::thread user_;
};

template <typename Platform>
class PlatformContract : public testing::Test {
  protected:
    PlatformContract() {
        platform = std::make_unique<Platform>();
        subject().append_menu(1, gfx::k_menu_enabled, "Effect from training", [](int) {});
    }

    gfx::Platform& subject() { return platform->platform(); }

    // Milliseconds on the platform's clock that `action` took.
    double taken_ms(const std::function<void()>& action) {
        const double start = subject().clock_seconds();
        action();
        return (subject().clock_seconds() - start) * 1000.0;
    }

    std::unique_ptr<Platform> platform;
};

using Platforms = testing::Types<HeadlessPlatform, QtPlatform>;

class PlatformNames {
  public:
    template <typename Platform>
    static std::string GetName(int) {
        return std::is_same_v<Platform, HeadlessPlatform> ? "Headless" : "Qt";
    }
};

TYPED_TEST_SUITE(PlatformContract, Platforms, PlatformNames);

// Upper bounds below only catch a call that waits far too long or hangs; how close the real
// platform comes is for the benchmarks to measure.
constexpr double k_hang_ms = 1000.0;

TYPED_TEST(PlatformContract, WaitForInputWakesOnTheEventThatArrivesDuringIt) {
    // Timed from before the event is scheduled, so the event comes at least 50 ms later.
    const double taken = this->taken_ms([&] {
        this->platform->event_after(50);
        this->subject().wait_for_input(5000);
    });
    this->platform->events_done();
    EXPECT_GE(taken, 50.0 - 1.0);
    EXPECT_LT(taken, k_hang_ms);
}

TYPED_TEST(PlatformContract, WaitForInputEndsAtItsDeadlineWithoutAnEvent) {
    const double taken = this->taken_ms([&] { this->subject().wait_for_input(30); });
    EXPECT_GE(taken, 30.0 - 0.5);
    EXPECT_LT(taken, 30.0 + k_hang_ms);
}

TYPED_TEST(PlatformContract, EventBeforeTheWaitEndsItAtOnceAndOnlyOnce) {
    this->platform->event_now();
    EXPECT_LT(this->taken_ms([&] { this->subject().wait_for_input(5000); }), k_hang_ms);
    // The event was taken by that wait: the next one runs to its deadline.
    EXPECT_GE(this->taken_ms([&] { this->subject().wait_for_input(40); }), 40.0 - 0.5);
}

TYPED_TEST(PlatformContract, SleepAndTonesTakeTheirTime) {
    struct Case {
        const char* what;
        std::function<void(gfx::Platform&)> call;
        double at_least_ms;
    };
    const Case cases[] = {
        {"sleep", [](gfx::Platform& platform) { platform.sleep_ms(60); }, 60},
        {"tone", [](gfx::Platform& platform) { platform.beep(1000, 80); }, 80},
        {"silent tone", [](gfx::Platform& platform) { platform.beep(0, 70); }, 70},
        {"sleep of no time", [](gfx::Platform& platform) { platform.sleep_ms(0); }, 0},
        {"negative sleep does not wait", [](gfx::Platform& platform) { platform.sleep_ms(-100); },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double taken = this->taken_ms([&] { c.call(this->subject()); });
        EXPECT_GE(taken, c.at_least_ms - 0.5);
        EXPECT_LT(taken, c.at_least_ms + k_hang_ms);
    }
}

TYPED_TEST(PlatformContract, ClockNeverRunsBackAndCountsSecondsSince1970) {
    double previous = this->subject().clock_seconds();
    // Later than 2020, as a reading in seconds since 1970 must be.
    EXPECT_GT(previous, 1.5e9);
    for (int i = 0; i < 200; ++i) {
        if (i % 50 == 0) this->subject().sleep_ms(1);
        const double now = this->subject().clock_seconds();
        EXPECT_GE(now, previous);
        previous = now;
    }
}

TYPED_TEST(PlatformContract, StopEndsTheProgramAtOnceWithSuccess) {
    TypeParam::expect_stopped([](gfx::Platform& platform) {
        platform.set_exit_mode(2);
        platform.stop_program();
    });
}

}  // namespace
