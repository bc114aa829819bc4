#include "gfx/qt/qt_platform.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <thread>

#include "gfx/qt/child_window.h"
#include "gfx/qt/dialog_window.h"
#include "gfx/qt/frame_window.h"
#include "gfx/tone.h"

namespace gfx {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using std::chrono::system_clock;

// The screen is repainted at most this often however fast the program draws.
constexpr milliseconds k_repaint_interval{16};
// The longest a pause or wait_until_shown waits for the window thread to show the picture:
// that thread may be held by a message box or by the beep of "Exit".
constexpr milliseconds k_longest_show_wait{250};

// One thread waits until another says it is done. Shared, so neither side can outlive it.
class Completion {
  public:
    void signal() {
        const std::lock_guard lock(mutex_);
        done_ = true;
        condition_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        condition_.wait(lock, [this] { return done_; });
    }
    // Waits no longer than `timeout`.
    void wait_for(milliseconds timeout) {
        std::unique_lock lock(mutex_);
        condition_.wait_for(lock, timeout, [this] { return done_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool done_ = false;
};

// Carriage returns break lines; a CR LF pair is one break.
QString about_box_text(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

double seconds_since_epoch(system_clock::time_point when) {
    return std::chrono::duration<double>(when.time_since_epoch()).count();
}

double monotonic_ms(steady_clock::time_point when) {
    return std::chrono::duration<double, std::milli>(when.time_since_epoch()).count();
}

}  // namespace

QtPlatform::QtPlatform()
    : steady_start_(steady_clock::now()),
      wall_start_seconds_(seconds_since_epoch(system_clock::now())) {
    // Closing the frame acts as the first menu command, the program's "Exit"; without menu
    // commands it ends the program at once.
    frame_ = new FrameWindow([this] {
        if (menu_items().empty()) end_process(0);
        choose_menu(1);
    });
    frame_->setWindowTitle(QGuiApplication::applicationDisplayName());
    mdi_area_ = new QMdiArea(frame_);
    frame_->setCentralWidget(mdi_area_);
    // The commands sit on the window's own bar, also where the desktop offers a global menu.
    frame_->menuBar()->setNativeMenuBar(false);

    repaint_timer_ = new QTimer(frame_);
    repaint_timer_->setSingleShot(true);
    QObject::connect(repaint_timer_, &QTimer::timeout, frame_, [this] { repaint_changed(false); });

    fatal_notice_ = [this](const std::string& message) {
        QMessageBox box(QMessageBox::Critical, frame_->windowTitle(),
                        QString::fromStdString(message), QMessageBox::Ok, frame_);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
}

QtPlatform::~QtPlatform() {
    delete frame_;
}

void QtPlatform::show_frame() {
    update_menu_bar();
    frame_->show();
}

void QtPlatform::update_menu_bar() {
    QMenuBar* bar = frame_->menuBar();
    bar->clear();
    std::vector<MenuItem> items = menu_items();
    std::stable_sort(items.begin(), items.end(),
                     [](const MenuItem& a, const MenuItem& b) { return a.position < b.position; });
    for (const MenuItem& item : items) {
        if (item.flags & k_menu_separator) {
            bar->addSeparator();
            continue;
        }
        QAction* action = bar->addAction(QString::fromStdString(item.text));
        action->setEnabled((item.flags & (k_menu_grayed | k_menu_disabled)) == 0);
        if (item.flags & k_menu_checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        const int position = item.position;
        QObject::connect(action, &QAction::triggered, frame_,
                         [this, position] { choose_menu(position); });
    }
}

void QtPlatform::set_frame_geometry(int x, int y, int height, int width) {
    on_gui([this, x, y, height, width] {
        // The values are device pixels of the whole window, title and border included.
        const qreal ratio = frame_->devicePixelRatioF();
        const QSize decoration = frame_->frameGeometry().size() - frame_->geometry().size();
        frame_->move(QPoint(qRound(x / ratio), qRound(y / ratio)));
        frame_->resize(QSize(qRound(width / ratio), qRound(height / ratio)) - decoration);
    });
}

void QtPlatform::show_about() {
    post([this] {
        auto* box = new QMessageBox(QMessageBox::Information,
                                    QStringLiteral("About %1").arg(frame_->windowTitle()),
                                    about_box_text(about_text()), QMessageBox::Ok, frame_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setTextFormat(Qt::PlainText);
        // Modal for the windows; the program thread is not involved and goes on.
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    });
}

void QtPlatform::tile_children() {
    post([this] { mdi_area_->tileSubWindows(); });
}

double QtPlatform::clock_seconds() {
    return wall_start_seconds_ +
           std::chrono::duration<double>(steady_clock::now() - steady_start_).count();
}

// The event stamps are checked against steady_clock, which is the monotonic clock on Linux.
std::optional<double> QtPlatform::event_seconds(uint64_t stamp_ms) {
    const std::optional<double> moment_ms =
        event_clock_.moment(stamp_ms, monotonic_ms(steady_clock::now()));
    if (!moment_ms) return std::nullopt;
    return wall_start_seconds_ + (*moment_ms - monotonic_ms(steady_start_)) / 1000.0;
}

void QtPlatform::sleep_ms(int milliseconds_to_sleep) {
    present_finished_picture();
    if (milliseconds_to_sleep > 0) std::this_thread::sleep_for(milliseconds(milliseconds_to_sleep));
}

void QtPlatform::wait_for_input(int timeout_ms) {
    present_finished_picture();
    std::unique_lock lock(input_mutex_);
    if (timeout_ms > 0) {
        input_signal_.wait_for(lock, milliseconds(timeout_ms), [this] { return input_pending_; });
    }
    input_pending_ = false;
}

void QtPlatform::input_arrived() {
    const std::lock_guard lock(input_mutex_);
    input_pending_ = true;
    input_signal_.notify_all();
}

void QtPlatform::beep(int frequency, int duration_ms) {
    present_finished_picture();
    play_tone(frequency, duration_ms);
}

LocalDate QtPlatform::local_date() {
    const std::time_t now = system_clock::to_time_t(system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

LocalTime QtPlatform::local_time() {
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto millis =
        std::chrono::duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return LocalTime{local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis / 10)};
}

void QtPlatform::run_dialog(Dialog& dialog) {
    if (dialog.exited()) return;
    if (on_gui_thread()) {
        // Waiting for another thread here would block the thread that runs the dialog.
        bool ended = false;
        QEventLoop loop;
        auto* window = open_dialog(dialog);
        QObject::connect(window, &DialogWindow::ended, &loop, [&] {
            ended = true;
            loop.quit();
        });
        if (!ended) loop.exec();
        return;
    }
    const auto done = std::make_shared<Completion>();
    post([this, &dialog, done] {
        auto* window = open_dialog(dialog);
        QObject::connect(window, &DialogWindow::ended, frame_, [done] { done->signal(); });
    });
    done->wait();
}

DialogWindow* QtPlatform::open_dialog(Dialog& dialog) {
    auto* window = new DialogWindow(dialog, frame_);
    window->show();
    return window;
}

void QtPlatform::stop_program() {
    // A fatal report in progress decides the exit status.
    if (ending_.load()) {
        if (!on_gui_thread()) park_forever();
        end_process(1);
    }
    if (exit_mode() == 2) end_process(0);
    keep_windows_until_closed();
}

void QtPlatform::keep_windows_until_closed() {
    // The windows outlive the program until the user closes the frame, which ends the process;
    // in mode 1 the user is asked first whether to close them now.
    const bool ask = exit_mode() == 1;
    post([this, ask] {
        frame_->setWindowTitle(frame_->windowTitle() + QStringLiteral(" - finished"));
        if (!ask) return;
        auto* box = new QMessageBox(QMessageBox::Question, frame_->windowTitle(),
                                    QStringLiteral("The program has ended.\nClose its windows?"),
                                    QMessageBox::Yes | QMessageBox::No, frame_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, frame_, [this](int result) {
            if (result == QMessageBox::Yes) end_process(0);
        });
        box->open();
    });
    if (!on_gui_thread()) park_forever();
    // Called from a window callback: keep serving the windows from here.
    QEventLoop loop;
    loop.exec();
    end_process(0);
}

void QtPlatform::report_fatal(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (ending_.exchange(true)) {
        // Another report is being shown; it ends the process.
        if (!on_gui_thread()) park_forever();
        end_process(1);
    }
    if (on_gui_thread()) show_fatal_and_end(message);
    post([this, message] { show_fatal_and_end(message); });
    park_forever();
}

void QtPlatform::set_fatal_notice(FatalNotice notice) {
    fatal_notice_ = std::move(notice);
}

void QtPlatform::show_fatal_and_end(const std::string& message) {
    if (fatal_notice_) fatal_notice_(message);
    end_process(1);
}

void QtPlatform::end_process(int status) {
    if (on_gui_thread() && frame_) frame_->hide();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // No static destructors and no thread joins: the other thread may be anywhere.
    std::_Exit(status);
}

void QtPlatform::park_forever() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
}

QMainWindow* QtPlatform::frame() const {
    return frame_;
}

QMdiArea* QtPlatform::mdi_area() const {
    return mdi_area_;
}

ChildView* QtPlatform::child_view(int unit) const {
    const auto found = children_.find(unit);
    return found != children_.end() && found->second ? found->second->view() : nullptr;
}

void QtPlatform::present(int) {
    unshown_change_.store(true, std::memory_order_release);
    post_repaint();
}

// The program pauses (waits, sleeps or plays a tone) when it has finished a picture: whatever
// it drew is on the screen before the pause begins rather than at the end of the repaint
// interval, so a tone starts with its picture in view. Waiting also leaves the processor to
// the window thread, which would otherwise often wait for this thread's next pause.
void QtPlatform::present_finished_picture() {
    if (unshown_change_.load(std::memory_order_acquire)) wait_until_shown();
}

// The repaint is queued behind whatever the window thread has to do first, so a repaint under
// way or queued is finished before it; it sends the pixels to the window system before it
// returns.
void QtPlatform::wait_until_shown() {
    if (on_gui_thread()) {
        repaint_changed(true);
        return;
    }
    const auto shown = std::make_shared<Completion>();
    post([this, shown] {
        repaint_changed(true);
        shown->signal();
    });
    shown->wait_for(k_longest_show_wait);
}

void QtPlatform::post_repaint() {
    // One posted repaint at a time, however often the program presents.
    if (repaint_posted_.exchange(true, std::memory_order_acq_rel)) return;
    post([this] {
        repaint_posted_.store(false, std::memory_order_release);
        repaint_changed(false);
    });
}

void QtPlatform::repaint_changed(bool at_once) {
    const auto now = steady_clock::now();
    const auto due = last_repaint_ + k_repaint_interval;
    if (!at_once && now < due) {
        if (!repaint_timer_->isActive()) {
            repaint_timer_->start(std::chrono::ceil<milliseconds>(due - now));
        }
        return;
    }
    last_repaint_ = now;
    // Cleared before the views look at their surfaces: a change drawn from here on is either
    // seen by this repaint or marks itself unshown again.
    unshown_change_.store(false, std::memory_order_release);
    for (const auto& [unit, window] : children_) {
        if (window) window->view()->refresh();
    }
}

// Child windows are made and closed in the order the program asked, always from the event
// queue: the platform's own lock may be held by whoever opened or closed the unit.
void QtPlatform::child_opened(int unit) {
    post([this, unit] { open_child_window(unit); });
}

// On the window thread the window goes at once: "Exit" closes it and then holds that thread
// with its beep, during which nothing queued would run.
void QtPlatform::child_closed(int unit) {
    on_gui([this, unit] { close_child_window(unit); });
}

void QtPlatform::open_child_window(int unit) {
    // A unit gets its surface when its size is configured; until then it has no window.
    const std::shared_ptr<Surface> unit_surface = canvas().surface(unit);
    if (!unit_surface) return;
    const QString window_title = QString::fromStdString(canvas().title(unit));
    const auto found = children_.find(unit);
    if (found != children_.end() && found->second &&
        found->second->view()->surface() == unit_surface) {
        found->second->setWindowTitle(window_title);
        return;
    }
    close_child_window(unit);
    auto* view = new ChildView(
        unit_surface, [this, unit](int event, int key_state, int x, int y, uint64_t stamp_ms) {
            canvas().deliver_mouse(unit, event, key_state, x, y, event_seconds(stamp_ms));
        });
    auto* window = new ChildWindow(view, window_title);
    mdi_area_->addSubWindow(window);
    window->adjustSize();
    window->show();
    children_[unit] = window;
}

void QtPlatform::close_child_window(int unit) {
    const auto found = children_.find(unit);
    if (found == children_.end()) return;
    if (found->second) found->second->close_by_program();
    children_.erase(found);
    // Painted now rather than at the next pass of the event loop, which a beep on this thread
    // would hold back: the closed window leaves the screen before the caller goes on.
    mdi_area_->viewport()->repaint();
}

bool QtPlatform::on_gui_thread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

void QtPlatform::on_gui(std::function<void()> function) {
    if (on_gui_thread()) {
        function();
    } else {
        post(std::move(function));
    }
}

void QtPlatform::post(std::function<void()> function) {
    QMetaObject::invokeMethod(frame_, std::move(function), Qt::QueuedConnection);
}

}  // namespace gfx
