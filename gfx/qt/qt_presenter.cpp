// The presenting part of the Qt platform: what the canvas reports (a window opened, changed or
// closed), the child windows that show the surfaces, and the repaints that put their pixels on
// the screen, at most every repaint interval or at once when the program pauses.
#include <QMdiArea>
#include <QTimer>
#include <memory>

#include "gfx/qt/child_window.h"
#include "gfx/qt/completion.h"
#include "gfx/qt/qt_platform.h"

namespace gfx {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The screen is repainted at most this often however fast the program draws.
constexpr milliseconds k_repaint_interval{16};
// The longest a pause or wait_until_shown waits for the window thread to show the picture:
// that thread may be held by a message box or by the beep of "Exit".
constexpr milliseconds k_longest_show_wait{250};

}  // namespace

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

ChildView* QtPlatform::child_view(int unit) const {
    const auto found = children_.find(unit);
    return found != children_.end() && found->second ? found->second->view() : nullptr;
}

}  // namespace gfx
