#pragma once

#include <QPointer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "gfx/platform.h"
#include "gfx/qt/event_clock.h"

class QMainWindow;
class QMdiArea;
class QTimer;
class QWidget;

namespace gfx {

class ChildView;
class ChildWindow;
class DialogWindow;
class FrameWindow;

// The platform on Qt Widgets: a main window with the commands on its menu bar, the child
// graphics windows inside an MDI area, the modal dialog and the message boxes.
//
// Construct it on the GUI thread once the QApplication exists. Every widget lives on the GUI
// thread; what the program thread asks for is posted there, in the order asked. Of the window
// operations only run_dialog makes the program thread wait (until the dialog ends); the About
// box never does.
//
// Ending: stop_program ends the process at once with status 0 when the exit mode is 2; in mode
// 3 the windows stay until the user closes the frame, and mode 1 first asks whether to close
// them. report_fatal prints the message to stderr, shows it in a critical message box, waits
// for the user and ends with status 1. Closing the frame ends the process with status 0.
class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;

    // Builds the menu bar from the appended items and shows the frame window.
    void show_frame();
    // Rebuilds the menu bar from the appended items.
    void update_menu_bar();

    // ---- the platform
    void set_frame_geometry(int x, int y, int height, int width) override;
    void show_about() override;
    void tile_children() override;
    double clock_seconds() override;
    void sleep_ms(int milliseconds) override;
    void wait_for_input(int timeout_ms) override;
    void beep(int frequency, int duration_ms) override;
    void wait_until_shown() override;
    LocalDate local_date() override;
    LocalTime local_time() override;
    void run_dialog(Dialog& dialog) override;
    [[noreturn]] void stop_program() override;
    [[noreturn]] void report_fatal(const std::string& message) override;

    // Shows a fatal message to the user and returns when the user has seen it; the default
    // shows a critical message box and waits for its button. Called on the GUI thread.
    using FatalNotice = std::function<void(const std::string& message)>;
    void set_fatal_notice(FatalNotice notice);

    // ---- for tests; GUI thread only
    QMainWindow* frame() const;
    QMdiArea* mdi_area() const;
    ChildView* child_view(int unit) const;  // the widget showing the unit's surface, or null

  protected:
    void input_arrived() override;

  private:
    // ---- the window thread and the clock (qt_platform.cpp)
    static bool on_gui_thread();
    // Runs the function on the GUI thread: at once when called there, else queued.
    void on_gui(std::function<void()> function);
    // Queues the function for the GUI thread; queued functions run in the order posted.
    void post(std::function<void()> function);
    // Runs the oldest posted function; each post queues one such call with Qt.
    void run_posted();
    DialogWindow* open_dialog(Dialog& dialog);
    // When a mouse event stamped `stamp_ms` happened, on the clock of clock_seconds(), if its
    // stamp can be trusted. GUI thread only.
    std::optional<double> event_seconds(uint64_t stamp_ms);

    // ---- presenting the canvas (qt_presenter.cpp)
    void present(int unit) override;
    void child_opened(int unit) override;
    void child_closed(int unit) override;
    void open_child_window(int unit);
    void close_child_window(int unit);
    void post_repaint();
    // Paints every view's changes; at most once per repaint interval unless `at_once`.
    void repaint_changed(bool at_once);
    void present_finished_picture();

    // ---- the program's end (qt_program_end.cpp)
    void show_fatal_box(const std::string& message);
    [[noreturn]] void show_fatal_and_end(const std::string& message);
    [[noreturn]] void keep_windows_until_closed();
    [[noreturn]] void end_process(int status);
    [[noreturn]] static void park_forever();

    QPointer<FrameWindow> frame_;
    QMdiArea* mdi_area_ = nullptr;
    std::map<int, QPointer<ChildWindow>> children_;  // GUI thread only
    FatalNotice fatal_notice_;

    // Repaints follow drawing at most every repaint interval, except the one that shows a
    // finished picture: when the program pauses with something drawn and not yet shown, or
    // asks for its picture to be shown, that is shown at once and the program waits for it.
    std::atomic<bool> repaint_posted_{false};
    std::atomic<bool> unshown_change_{false};
    QTimer* repaint_timer_ = nullptr;
    std::chrono::steady_clock::time_point last_repaint_;

    std::mutex input_mutex_;
    std::condition_variable input_signal_;
    bool input_pending_ = false;

    std::atomic<bool> ending_{false};  // a fatal report is on its way to the user

    EventClock event_clock_;  // GUI thread only

    const std::chrono::steady_clock::time_point steady_start_;
    const double wall_start_seconds_;
    // The functions posted to the GUI thread, handed over under our own lock, so that the
    // hand-over is ordered by a lock the program can see and not only by Qt's.
    std::mutex posted_mutex_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace gfx
