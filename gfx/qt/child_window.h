#pragma once

#include <QMdiSubWindow>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/surface.h"

namespace gfx {

// Shows a surface at one surface pixel per device pixel, whatever the screen's scale factor,
// from its top-left corner; area beyond the surface shows the window's background. Mouse events
// are turned into event bits and key states and handed to the sink, with the position in
// surface pixels and the event's time stamp as the window system gave it (0: none).
class ChildView : public QWidget {
    Q_OBJECT

  public:
    using MouseSink =
        std::function<void(int event, int key_state, int x, int y, uint64_t stamp_ms)>;

    ChildView(std::shared_ptr<Surface> surface, MouseSink sink, QWidget* parent = nullptr);

    const std::shared_ptr<Surface>& surface() const { return surface_; }
    QSize sizeHint() const override;
    // Paints what changed on the surface since the last refresh.
    void refresh();
    // The surface generation whose changes are on the screen.
    uint64_t painted_generation() const { return painted_generation_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void deliver(const QMouseEvent* event, int event_bit);

    std::shared_ptr<Surface> surface_;
    MouseSink sink_;
    uint64_t requested_generation_ = 0;  // changes up to here were handed to paint
    uint64_t painted_generation_ = 0;
};

// The MDI window around a child view. The user cannot close it: the program closes its units.
class ChildWindow : public QMdiSubWindow {
    Q_OBJECT

  public:
    ChildWindow(ChildView* view, const QString& title);

    ChildView* view() const { return view_; }
    void close_by_program();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    ChildView* view_;
    bool closing_ = false;
};

// Key-state bits of a mouse event: the buttons held after it and the Shift and Ctrl keys.
int mouse_key_state(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace gfx
