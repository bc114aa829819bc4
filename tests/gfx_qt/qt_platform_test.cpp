#include "gfx/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gfx/qt/child_window.h"
#include "gfx/qt/dialog_window.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long long milliseconds_since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

// A visible top-level message box, or null.
QMessageBox* shown_message_box() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) return box;
    }
    return nullptr;
}

// Every few milliseconds, until it returns true.
void keep_trying(std::function<bool()> attempt) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, attempt] {
        if (attempt()) timer->deleteLater();
    });
    timer->start(10);
}

// What a widget receives from the window system for a double click: the second press comes
// as a double-click event. (QTest's own double click sends the double-click event alone.)
void double_click(QWidget* widget, Qt::MouseButton button, QPoint at) {
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, local, global, button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

gfx::DialogTemplate two_field_template() {
    gfx::DialogTemplate layout;
    layout.resource_id = 101;
    layout.title = "Input parameters";
    layout.x = 50;
    layout.y = 20;
    layout.width = 160;
    layout.height = 80;
    layout.font_face = "MS Sans Serif";
    layout.font_points = 8;
    layout.controls = {
        {1, gfx::ControlKind::push_button, "Begin", 10, 50, 60, 20, false, false},
        {2, gfx::ControlKind::push_button, "Exit", 90, 50, 60, 20, false, false},
        {1000, gfx::ControlKind::edit, "", 10, 10, 50, 14, false, false},
        {1002, gfx::ControlKind::edit, "", 80, 10, 50, 14, true, true},
    };
    return layout;
}

// The program's window: unit 1 at 980 x 650 pixels.
void open_graphics_window(gfx::QtPlatform& platform) {
    platform.canvas().open_child(1, "Trainer for eyes");
    gfx::WindowConfig config{980, 650, -1, -1, -1, -1};
    ASSERT_TRUE(platform.canvas().set_window_config(config));
    QCoreApplication::processEvents();
    ASSERT_NE(platform.child_view(1), nullptr);
}

class QtPlatformTest : public testing::Test {
  protected:
    void open_graphics_window() { ::open_graphics_window(platform); }

    gfx::QtPlatform platform;
};

// The monotonic clock in milliseconds, cut to 32 bits as the window system's event stamps are.
uint64_t monotonic_stamp_ms() {
    const auto now = std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch());
    return static_cast<uint64_t>(now.count()) & 0xFFFFFFFFu;
}

// Where the platform's clock stands against the monotonic clock: clock_seconds() minus the
// monotonic seconds.
double platform_clock_offset(gfx::QtPlatform& platform) {
    const double monotonic = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    return platform.clock_seconds() - monotonic;
}

// A mouse event as the window system delivers it, with its time stamp.
void send_stamped(QWidget* widget, QEvent::Type type, Qt::MouseButton button, uint64_t stamp_ms) {
    const QPointF local(10, 20);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, local, widget->mapToGlobal(local), changed, held, Qt::NoModifier);
    event.setTimestamp(stamp_ms);
    QApplication::sendEvent(widget, &event);
}

GTEST_TEST_F(QtPlatformTest, MenuCommandsArePlainItemsOnTheBarInOrder) {
    std::vector<int> chosen;
    for (const char* text : {"Exit", "Effect from training", "User guide"}) {
        const int position = static_cast<int>(platform.menu_items().size()) + 1;
        platform.append_menu(position, gfx::k_menu_enabled, text,
                             [&chosen, position](int) { chosen.push_back(position); });
    }
    platform.append_menu(4, gfx::k_menu_grayed, "Later", [&chosen](int) { chosen.push_back(4); });
    platform.show_frame();

    QMenuBar* bar = platform.frame()->menuBar();
    QStringList texts;
    for (const QAction* action : bar->actions()) {
        texts << action->text();
        EXPECT_EQ(action->menu(), nullptr) << "no drop-down menus";
    }
    EXPECT_EQ(texts, QStringList({"Exit", "Effect from training", "User guide", "Later"}));
    EXPECT_FALSE(bar->actions().at(3)->isEnabled());

    QAction* graph = bar->actions().at(1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(graph).center());
    bar->actions().at(2)->trigger();
    bar->actions().at(3)->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{2, 3}));
}

GTEST_TEST_F(QtPlatformTest, FrameTakesThePositionAndSizeAskedFromEitherThread) {
    struct Case {
        const char* what;
        bool from_program_thread;
        int x, y, height, width;
    };
    constexpr Case cases[] = {
        {"start-up hook's size", false, 50, 50, 400, 650},
        {"program's full size", true, 0, 0, 768, 1024},
    };
    platform.show_frame();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto apply = [&] { platform.set_frame_geometry(c.x, c.y, c.height, c.width); };
        if (c.from_program_thread) {
            std::thread(apply).join();
        } else {
            apply();
        }
        const QRect expected(c.x, c.y, c.width, c.height);
        EXPECT_TRUE(QTest::qWaitFor([&] { return platform.frame()->frameGeometry() == expected; }))
            << platform.frame()->frameGeometry().x() << "," << platform.frame()->frameGeometry().y()
            << " " << platform.frame()->frameGeometry().width() << "x"
            << platform.frame()->frameGeometry().height();
    }
}

GTEST_TEST_F(QtPlatformTest, ChildWindowShowsTheConfiguredSizeWhateverItsVisibleArea) {
    platform.show_frame();
    platform.set_frame_geometry(50, 50, 400, 650);
    open_graphics_window();
    platform.tile_children();
    QCoreApplication::processEvents();

    const QList<QMdiSubWindow*> windows = platform.mdi_area()->subWindowList();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.front()->windowTitle(), "Trainer for eyes");
    // One surface pixel per device pixel.
    QWidget* view = platform.child_view(1);
    EXPECT_EQ(view->sizeHint() * view->devicePixelRatioF(), QSize(980, 650));
    // Tiled into a small frame, the window shows less than its surface.
    EXPECT_LT(view->width(), 980);
    const gfx::WindowConfig config = platform.canvas().window_config();
    EXPECT_EQ(config.pixel_width, 980);
    EXPECT_EQ(config.pixel_height, 650);

    // Configuring the same size again keeps the window; closing the unit removes it.
    gfx::WindowConfig again{980, 650, -1, -1, -1, -1};
    platform.canvas().set_window_config(again);
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.child_view(1), view);
    platform.canvas().close_unit(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return platform.mdi_area()->subWindowList().isEmpty(); }));
}

GTEST_TEST_F(QtPlatformTest, DrawingOnTheProgramThreadIsPresented) {
    platform.show_frame();
    open_graphics_window();
    auto* view = platform.child_view(1);
    const auto surface = platform.canvas().surface(1);

    std::thread program([&] {
        platform.canvas().set_background_colour(gfx::k_white);
        platform.canvas().clear_screen();
        platform.canvas().set_colour(0x0000FF);  // red
        platform.canvas().rectangle(gfx::Shape::filled, 100, 50, 119, 59);
    });
    program.join();
    const uint64_t drawn = surface->generation();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->painted_generation() == drawn; }));

    const QImage shown = view->grab().toImage();
    const qreal ratio = view->devicePixelRatioF();
    EXPECT_EQ(shown.pixel(QPoint(110, 55) * ratio), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(QPoint(99, 55) * ratio), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(QPoint(119, 59) * ratio), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(QPoint(120, 60) * ratio), qRgb(255, 255, 255));

    // Later changes are painted where they are, and what was painted before stays: read back
    // from what the window system was given, not from a fresh rendering of the widget.
    std::thread([&] {
        platform.canvas().set_colour(0x00FF00);  // green
        platform.canvas().rectangle(gfx::Shape::filled, 300, 300, 309, 309);
        platform.canvas().set_pixel(500, 480, 0xFF0000);  // blue
    }).join();
    const uint64_t redrawn = surface->generation();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->painted_generation() == redrawn; }));
    QWidget* top = view->window();
    const QImage screen = top->screen()->grabWindow(top->winId()).toImage();
    const QPoint origin = view->mapTo(top, QPoint(0, 0)) * ratio;
    const auto on_screen = [&](int x, int y) { return screen.pixel(origin + QPoint(x, y)); };
    EXPECT_EQ(on_screen(300, 300), qRgb(0, 255, 0));
    EXPECT_EQ(on_screen(309, 309), qRgb(0, 255, 0));
    EXPECT_EQ(on_screen(310, 309), qRgb(255, 255, 255));
    EXPECT_EQ(on_screen(500, 480), qRgb(0, 0, 255));
    EXPECT_EQ(on_screen(110, 55), qRgb(255, 0, 0));
}

// "Exit" closes the graphics window on the window thread and then holds that thread with its
// beep: the window must already be off the screen when the close returns.
GTEST_TEST_F(QtPlatformTest, UnitClosedOnTheWindowThreadLeavesTheScreenAtOnce) {
    platform.show_frame();
    open_graphics_window();
    auto* view = platform.child_view(1);
    const auto surface = platform.canvas().surface(1);
    std::thread program([&] {
        platform.canvas().set_colour(0x0000FF);  // red
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
    });
    program.join();
    const uint64_t drawn = surface->generation();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->painted_generation() == drawn; }));

    QWidget* frame = platform.mdi_area()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    const QPoint inside = view->mapTo(frame, QPoint(20, 20)) * frame->devicePixelRatioF();
    const auto on_screen = [&] {
        return frame->screen()->grabWindow(frame->winId()).toImage().pixel(inside);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return on_screen() == qRgb(255, 0, 0); }));

    platform.canvas().close_unit(1);  // no event is handled after this
    EXPECT_TRUE(platform.mdi_area()->subWindowList().isEmpty());
    EXPECT_NE(on_screen(), qRgb(255, 0, 0)) << "the closed window is still on the screen";
}

// Repaints follow drawing at most every 16 ms, but a picture finished right after a repaint
// (the answer window opening just after its stimulus) must not wait that out: whichever way the
// program pauses, the pause begins only once the picture is on the screen, and
// wait_until_shown returns only then.
GTEST_TEST_F(QtPlatformTest, PauseBeginsWithTheFinishedPictureOnTheScreen) {
    platform.show_frame();
    open_graphics_window();
    auto* view = platform.child_view(1);
    const auto surface = platform.canvas().surface(1);
    const std::pair<const char*, std::function<void()>> pauses[] = {
        {"sleep", [&] { platform.sleep_ms(1); }},
        {"wait for input", [&] { platform.wait_for_input(1); }},
        {"tone", [&] { platform.beep(0, 1); }},
        {"wait until shown", [&] { platform.wait_until_shown(); }},
    };
    gfx::Colour colour = 0x0000FF;
    for (const auto& [what, pause] : pauses) {
        SCOPED_TRACE(what);
        // A first change, shown: the repaint interval starts now.
        std::thread([&] { platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 9, 9); }).join();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return view->painted_generation() == surface->generation(); }));

        std::atomic<bool> paused = false;
        std::thread program([&] {
            platform.canvas().set_colour(colour);
            platform.canvas().rectangle(gfx::Shape::filled, 100, 50, 119, 59);
            pause();
            paused = true;
        });
        // The window thread handles nothing for a while, so nothing can show the picture.
        std::this_thread::sleep_for(milliseconds(50));
        EXPECT_FALSE(paused) << "the pause ended before its picture was shown";
        EXPECT_TRUE(QTest::qWaitFor([&] { return paused.load(); }));
        program.join();
        EXPECT_EQ(view->painted_generation(), surface->generation());
        colour ^= 0x00FFFF;
    }
}

// A window thread held elsewhere (a message box, the beep of "Exit") holds the program only
// for a moment: the picture is then shown when that thread comes back.
GTEST_TEST_F(QtPlatformTest, WaitingForAPictureEndsWhenTheWindowThreadIsHeld) {
    platform.show_frame();
    open_graphics_window();
    auto* view = platform.child_view(1);
    const auto surface = platform.canvas().surface(1);
    std::atomic<bool> waited = false;
    std::thread program([&] {
        platform.canvas().rectangle(gfx::Shape::filled, 100, 50, 119, 59);
        platform.wait_until_shown();
        waited = true;
    });
    const auto held_until = Clock::now() + std::chrono::seconds(2);
    while (!waited && Clock::now() < held_until) std::this_thread::sleep_for(milliseconds(1));
    program.join();
    EXPECT_TRUE(waited) << "the program waited as long as the window thread was held";
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->painted_generation() == surface->generation(); }));
}

GTEST_TEST_F(QtPlatformTest, MouseEventsReachTheRegisteredRoutine) {
    platform.show_frame();
    open_graphics_window();
    struct Delivered {
        int event, key_state, x, y;
        bool operator==(const Delivered&) const = default;
    };
    std::vector<Delivered> delivered;
    ASSERT_TRUE(platform.canvas().register_mouse(
        1, 127, [&](int unit, int event, int key_state, int x, int y, std::optional<double>) {
            EXPECT_EQ(unit, 1);
            delivered.push_back({event, key_state, x, y});
        }));
    QWidget* view = platform.child_view(1);
    const QPoint at(10, 20);
    using Mods = Qt::KeyboardModifiers;

    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<Delivered> expected;
    };
    const Case cases[] = {
        {"left click with Shift",
         [&] {
             QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, at);
             QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, at);
         },
         {{1, 1 | 4, 10, 20}, {2, 4, 10, 20}}},
        {"right click with Ctrl",
         [&] {
             QTest::mousePress(view, Qt::RightButton, Qt::ControlModifier, at);
             QTest::mouseRelease(view, Qt::RightButton, Qt::ControlModifier, at);
         },
         {{8, 2 | 8, 10, 20}, {16, 8, 10, 20}}},
        {"click with Shift and Ctrl",
         [&] {
             QTest::mousePress(view, Qt::LeftButton, Mods(Qt::ShiftModifier | Qt::ControlModifier),
                               at);
             QTest::mouseRelease(view, Qt::LeftButton,
                                 Mods(Qt::ShiftModifier | Qt::ControlModifier), at);
         },
         {{1, 1 | 4 | 8, 10, 20}, {2, 4 | 8, 10, 20}}},
        {"both buttons: the state holds what is down after each event",
         [&] {
             QTest::mousePress(view, Qt::LeftButton, {}, at);
             QTest::mousePress(view, Qt::RightButton, {}, at);
             QTest::mouseRelease(view, Qt::LeftButton, {}, at);
             QTest::mouseRelease(view, Qt::RightButton, {}, at);
         },
         {{1, 1, 10, 20}, {8, 3, 10, 20}, {2, 2, 10, 20}, {16, 0, 10, 20}}},
        {"middle button makes no event but shows in the state",
         [&] {
             QTest::mousePress(view, Qt::MiddleButton, {}, at);
             QTest::mousePress(view, Qt::LeftButton, {}, at);
             QTest::mouseRelease(view, Qt::LeftButton, {}, at);
             QTest::mouseRelease(view, Qt::MiddleButton, {}, at);
         },
         {{1, 1 | 16, 10, 20}, {2, 16, 10, 20}}},
        {"second press of a double click comes as a double click",
         [&] { double_click(view, Qt::LeftButton, at); },
         {{1, 1, 10, 20}, {2, 0, 10, 20}, {4, 1, 10, 20}, {2, 0, 10, 20}}},
        {"right double click",
         [&] { double_click(view, Qt::RightButton, at); },
         {{8, 2, 10, 20}, {16, 0, 10, 20}, {32, 2, 10, 20}, {16, 0, 10, 20}}},
        {"move", [&] { QTest::mouseMove(view, QPoint(300, 200)); }, {{64, 0, 300, 200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        delivered.clear();
        c.act();
        EXPECT_EQ(delivered.size(), c.expected.size());
        for (std::size_t i = 0; i < std::min(delivered.size(), c.expected.size()); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(delivered[i].event, c.expected[i].event);
            EXPECT_EQ(delivered[i].key_state, c.expected[i].key_state);
            EXPECT_EQ(delivered[i].x, c.expected[i].x);
            EXPECT_EQ(delivered[i].y, c.expected[i].y);
        }
    }
}

GTEST_TEST_F(QtPlatformTest, EventsArriveWithTheirStampedMomentOnThePlatformClock) {
    open_graphics_window();
    std::vector<std::optional<double>> moments;  // of every event the routine received
    ASSERT_TRUE(platform.canvas().register_mouse(
        1, 27 | gfx::k_mouse_move,
        [&](int, int, int, int, int, std::optional<double> at) { moments.push_back(at); }));
    QWidget* view = platform.child_view(1);

    // A move stamped a little ahead agrees with the clock even when its delivery is delayed by
    // a few milliseconds; from then on stamps are used.
    send_stamped(view, QEvent::MouseMove, Qt::LeftButton, monotonic_stamp_ms() + 4);
    const uint64_t pressed = monotonic_stamp_ms() - 2;
    send_stamped(view, QEvent::MouseButtonPress, Qt::LeftButton, pressed);
    const double offset = platform_clock_offset(platform);
    ASSERT_EQ(moments.size(), 2u);
    ASSERT_TRUE(moments[1]);
    // The stamp names a whole millisecond; the press happened within it.
    const double stamped_moment = offset + (static_cast<double>(pressed) + 0.5) / 1000.0;
    EXPECT_NEAR(*moments[1], stamped_moment, 0.0002);

    send_stamped(view, QEvent::MouseButtonPress, Qt::RightButton, 0);
    ASSERT_EQ(moments.size(), 3u);
    EXPECT_FALSE(moments[2]) << "an event without a stamp has no moment";
}

GTEST_TEST(QtPlatformStampTest, StampsOfAnotherClockAreNotUsed) {
    // Each case on a fresh platform, which has seen no event before.
    struct Case {
        const char* what;
        std::vector<std::pair<QEvent::Type, int64_t>> events;  // stamp from now, in ms
        std::optional<int64_t> press_ms;  // the moment of the last press, from now
    };
    const Case cases[] = {
        {"a first press 1 s older than its arrival", {{QEvent::MouseButtonPress, -1000}}, {}},
        {"a stamp in the future rules out the later ones",
         {{QEvent::MouseButtonPress, 1000}, {QEvent::MouseButtonPress, 0}},
         {}},
        {"a move that agrees makes a later press's stamp count, however old",
         {{QEvent::MouseMove, 4}, {QEvent::MouseButtonPress, -300}},
         -300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gfx::QtPlatform platform;
        open_graphics_window(platform);
        std::optional<double> press;  // the moment of the latest press
        ASSERT_TRUE(platform.canvas().register_mouse(
            1, 27, [&](int, int event, int, int, int, std::optional<double> at) {
                if (event == gfx::k_left_down) press = at;
            }));
        const uint64_t now = monotonic_stamp_ms();
        for (const auto& [type, from_now_ms] : c.events) {
            send_stamped(platform.child_view(1), type, Qt::LeftButton,
                         static_cast<uint64_t>(static_cast<int64_t>(now) + from_now_ms));
        }
        ASSERT_EQ(press.has_value(), c.press_ms.has_value());
        if (press) {
            const double stamped = static_cast<double>(static_cast<int64_t>(now) + *c.press_ms);
            EXPECT_NEAR(*press, platform_clock_offset(platform) + (stamped + 0.5) / 1000.0, 0.0002);
        }
    }
}

GTEST_TEST_F(QtPlatformTest, WaitForInputWakesOnAnEventAndOtherwiseTimesOut) {
    platform.append_menu(1, gfx::k_menu_enabled, "Effect from training", [](int) {});

    auto start = Clock::now();
    std::thread user([&] {
        std::this_thread::sleep_for(milliseconds(50));
        platform.choose_menu(1);
    });
    platform.wait_for_input(5000);
    EXPECT_GE(milliseconds_since(start), 45);
    EXPECT_LT(milliseconds_since(start), 1000);
    user.join();

    start = Clock::now();
    platform.wait_for_input(30);
    EXPECT_GE(milliseconds_since(start), 30);
    EXPECT_LT(milliseconds_since(start), 200);

    // An event that came before the wait is not missed.
    platform.choose_menu(1);
    start = Clock::now();
    platform.wait_for_input(5000);
    EXPECT_LT(milliseconds_since(start), 100);

    start = Clock::now();
    platform.wait_for_input(0);
    platform.wait_for_input(-10);
    EXPECT_LT(milliseconds_since(start), 20);
}

GTEST_TEST_F(QtPlatformTest, ClockAndSleep) {
    const double wall =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const double before = platform.clock_seconds();
    EXPECT_NEAR(before, wall, 2.0);

    platform.sleep_ms(50);
    const double after = platform.clock_seconds();
    EXPECT_GE(after - before, 0.050);
    EXPECT_LT(after - before, 0.200);

    const auto start = Clock::now();
    platform.sleep_ms(-100);
    platform.sleep_ms(0);
    EXPECT_LT(milliseconds_since(start), 20);
}

GTEST_TEST_F(QtPlatformTest, DateAndTimeAreTheLocalClocks) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        // The system clock itself, as the platform reads it: std::time() reads a coarser clock
        // that can lag a few milliseconds behind and so name the second before.
        const auto seconds_now = [] {
            return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        };
        const std::time_t before = seconds_now();
        const gfx::LocalDate date = platform.local_date();
        const gfx::LocalTime time = platform.local_time();
        if (seconds_now() != before) continue;  // a second boundary passed
        std::tm local{};
        localtime_r(&before, &local);
        EXPECT_EQ(date.year, local.tm_year + 1900);
        EXPECT_EQ(date.month, local.tm_mon + 1);
        EXPECT_EQ(date.day, local.tm_mday);
        EXPECT_EQ(time.hour, local.tm_hour);
        EXPECT_EQ(time.minute, local.tm_min);
        EXPECT_EQ(time.second, local.tm_sec);
        EXPECT_GE(time.hundredths, 0);
        EXPECT_LE(time.hundredths, 99);
        return;
    }
    FAIL() << "the clock kept crossing seconds";
}

GTEST_TEST_F(QtPlatformTest, AboutBoxDoesNotBlockTheProgram) {
    platform.show_frame();
    ASSERT_TRUE(
        platform.set_about_text("The program - a trainer \r\rBEGINNING: left\r\rlast\rline"));
    // The program thread asks for it and goes on at once.
    std::thread(&gfx::QtPlatform::show_about, &platform).join();

    ASSERT_TRUE(QTest::qWaitFor([] { return shown_message_box() != nullptr; }));
    QMessageBox* box = shown_message_box();
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->text(), "The program - a trainer \n\nBEGINNING: left\n\nlast\nline");
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([] { return shown_message_box() == nullptr; }));
}

// The program thread waits in run_dialog while the user works the dialog.
GTEST_TEST_F(QtPlatformTest, DialogFromTheProgramThreadBlocksUntilItEnds) {
    platform.show_frame();
    platform.set_frame_geometry(0, 0, 768, 1024);
    gfx::Dialog dialog(two_field_template());
    dialog.set_text(1000, " 200.0");
    std::vector<int> activated;
    for (const int id : {1, 2}) {
        dialog.set_routine(id, [&activated](gfx::Dialog& record, int control_id, int) {
            activated.push_back(control_id);
            record.exit();
        });
    }
    std::atomic<bool> returned{false};
    std::thread program([&] {
        platform.run_dialog(dialog);
        returned = true;
    });

    gfx::DialogWindow* window = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        window = qobject_cast<gfx::DialogWindow*>(QApplication::activeModalWidget());
        return window != nullptr;
    }));
    const QRect origin = gfx::dialog_units_to_pixels(window->base_units(), 50, 20, 0, 0);
    // From the frame's client area, below the menu bar.
    EXPECT_EQ(window->pos(), platform.mdi_area()->mapToGlobal(QPoint(0, 0)) + origin.topLeft());
    QTest::qWait(50);
    EXPECT_FALSE(returned);

    QLineEdit* field = window->edit(1000);
    field->selectAll();
    QTest::keyClicks(field, "150");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }));
    program.join();
    EXPECT_EQ(activated, std::vector<int>{1});
    EXPECT_EQ(dialog.text(1000), "150");
    EXPECT_TRUE(dialog.exited());
}

GTEST_TEST_F(QtPlatformTest, DialogOnTheGuiThreadRunsItsOwnLoop) {
    gfx::Dialog dialog(two_field_template());
    std::vector<int> activated;
    for (const int id : {1, 2}) {
        dialog.set_routine(id, [&activated](gfx::Dialog& record, int control_id, int) {
            activated.push_back(control_id);
            record.exit();
        });
    }
    keep_trying([] {
        auto* window = qobject_cast<gfx::DialogWindow*>(QApplication::activeModalWidget());
        if (window == nullptr) return false;
        QTest::keyClick(window->edit(1002), Qt::Key_Escape);
        return true;
    });
    platform.run_dialog(dialog);
    EXPECT_EQ(activated, std::vector<int>{2});
}

// ---- ending the program: each case runs in a child process

class QtPlatformEndTest : public testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

GTEST_TEST_F(QtPlatformEndTest, StopEndsTheProcessFromEitherThread) {
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            platform.set_exit_mode(2);
            platform.stop_program();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            platform.set_exit_mode(2);
            std::thread([&] { platform.stop_program(); }).join();
        },
        testing::ExitedWithCode(0), "");
}

GTEST_TEST_F(QtPlatformEndTest, StopWritesOutWhatThePrintedBefore) {
    const std::string path = testing::TempDir() + "stop_output.txt";
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.set_exit_mode(2);
            if (!std::freopen(path.c_str(), "w", stdout)) std::_Exit(3);
            std::printf("buffered line");
            std::thread([&] { platform.stop_program(); }).join();
        },
        testing::ExitedWithCode(0), "");
    std::ifstream written(path);
    std::string text;
    std::getline(written, text);
    EXPECT_EQ(text, "buffered line");
}

GTEST_TEST_F(QtPlatformEndTest, ClosingTheFrameEndsTheProgram) {
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            platform.frame()->close();
            std::_Exit(3);
        },
        testing::ExitedWithCode(0), "");
}

GTEST_TEST_F(QtPlatformEndTest, ExitModesThatKeepTheWindowsOpen) {
    // Mode 3: the program thread stops, the windows stay until the user closes the frame.
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            platform.set_exit_mode(3);
            std::thread([&] { platform.stop_program(); }).detach();
            if (!QTest::qWaitFor(
                    [&] { return platform.frame()->windowTitle().endsWith("finished"); })) {
                std::_Exit(3);
            }
            std::fprintf(stderr, "windows still open\n");
            platform.frame()->close();
            std::_Exit(4);
        },
        testing::ExitedWithCode(0), "windows still open");
    // Mode 1: the user is asked; yes closes them.
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            platform.set_exit_mode(1);
            std::thread([&] { platform.stop_program(); }).detach();
            if (!QTest::qWaitFor([] { return shown_message_box() != nullptr; })) std::_Exit(3);
            QMessageBox* box = shown_message_box();
            std::fprintf(stderr, "asked: %s\n", qPrintable(box->text()));
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            QTest::qWait(2000);
            std::_Exit(4);
        },
        testing::ExitedWithCode(0), "asked: The program has ended");
}

GTEST_TEST_F(QtPlatformEndTest, FatalReportShowsTheMessageAndEndsWithAFailure) {
    const std::string message = "forrtl: severe (24): end-of-file during read, unit 1, file x";
    // From the program thread: the message goes to stderr and to the GUI thread's notice.
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.set_fatal_notice([](const std::string& text) {
                std::fprintf(stderr, "notice: %s\n", text.c_str());
            });
            std::thread([&] { platform.report_fatal(message); }).detach();
            QTest::qWait(5000);
            std::_Exit(3);
        },
        testing::ExitedWithCode(1), "forrtl: severe \\(24\\).*notice: forrtl: severe \\(24\\)");
    // The default notice is a critical message box that waits for the user.
    EXPECT_EXIT(
        {
            gfx::QtPlatform platform;
            platform.show_frame();
            keep_trying([] {
                QMessageBox* box = shown_message_box();
                if (box == nullptr) return false;
                std::fprintf(stderr, "box %d: %s\n", box->icon() == QMessageBox::Critical,
                             qPrintable(box->text()));
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                return true;
            });
            platform.report_fatal(message);
        },
        testing::ExitedWithCode(1), "box 1: forrtl: severe \\(24\\)");
}

}  // namespace

namespace {

// Runs in a child process whose application sees a screen scaled by 2; tells its faults on
// stderr.
[[noreturn]] void check_scaled_screen() {
    std::string faults;
    const auto check = [&faults](bool good, const char* what) {
        if (!good) faults += std::string(what) + "; ";
    };
    check(qApp->devicePixelRatio() == 2.0, "screen not scaled");
    gfx::QtPlatform platform;
    platform.show_frame();
    platform.set_frame_geometry(0, 0, 768, 1024);
    platform.canvas().open_child(1, "Trainer for eyes");
    gfx::WindowConfig config{980, 650, -1, -1, -1, -1};
    platform.canvas().set_window_config(config);
    QCoreApplication::processEvents();
    gfx::ChildView* view = platform.child_view(1);
    if (view == nullptr) std::_Exit(3);
    std::vector<int> positions;
    platform.canvas().register_mouse(1, 127,
                                     [&](int, int, int, int x, int y, std::optional<double>) {
                                         positions.push_back(x);
                                         positions.push_back(y);
                                     });
    platform.canvas().set_background_colour(gfx::k_white);
    platform.canvas().clear_screen();
    platform.canvas().set_colour(0x0000FF);
    platform.canvas().rectangle(gfx::Shape::filled, 100, 50, 119, 59);
    const uint64_t drawn = platform.canvas().surface(1)->generation();
    check(QTest::qWaitFor([&] { return view->painted_generation() == drawn; }), "painted");

    check(platform.frame()->frameGeometry() == QRect(0, 0, 512, 384), "frame size");
    check(view->sizeHint() == QSize(490, 325), "view size");
    const QImage shown = view->grab().toImage();
    check(shown.pixel(110, 55) == qRgb(255, 0, 0), "inside");
    check(shown.pixel(119, 59) == qRgb(255, 0, 0), "last corner");
    check(shown.pixel(99, 55) == qRgb(255, 255, 255), "left of it");
    check(shown.pixel(120, 60) == qRgb(255, 255, 255), "past the corner");
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 30));
    check(positions == std::vector<int>{100, 60}, "mouse position");
    std::fprintf(stderr, "faults: [%s]\n", faults.c_str());
    std::_Exit(0);
}

// On a screen scaled by 2, the window still shows one surface pixel per device pixel and
// mouse positions arrive in surface pixels. The scale is set for a child process's application.
GTEST_TEST_F(QtPlatformEndTest, ScaledScreenKeepsOneSurfacePixelPerDevicePixel) {
    setenv("QT_SCALE_FACTOR", "2", 1);
    EXPECT_EXIT(check_scaled_screen(), testing::ExitedWithCode(0), "faults: \\[\\]");
    unsetenv("QT_SCALE_FACTOR");
}

}  // namespace
