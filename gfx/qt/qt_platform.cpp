// The Qt platform's frame window and menus, the clock, the pauses and tones, the local date
// and time, the dialog, and the posting of work to the window thread. What it presents is in
// qt_presenter.cpp, the program's end in qt_program_end.cpp.
#include "gfx/qt/qt_platform.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <memory>
#include <thread>

#include "gfx/qt/child_window.h"
#include "gfx/qt/completion.h"
#include "gfx/qt/dialog_window.h"
#include "gfx/qt/frame_window.h"
#include "gfx/tone.h"

namespace gfx {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using std::chrono::system_clock;

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

    fatal_notice_ = [this](const std::string& message) { show_fatal_box(message); };
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

QMainWindow* QtPlatform::frame() const {
    return frame_;
}

QMdiArea* QtPlatform::mdi_area() const {
    return mdi_area_;
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
    {
        const std::lock_guard lock(posted_mutex_);
        posted_.push_back(std::move(function));
    }
    QMetaObject::invokeMethod(
        frame_, [this] { run_posted(); }, Qt::QueuedConnection);
}

void QtPlatform::run_posted() {
    std::function<void()> next;
    {
        const std::lock_guard lock(posted_mutex_);
        if (posted_.empty()) return;
        next = std::move(posted_.front());
        posted_.pop_front();
    }
    next();
}

}  // namespace gfx
