#include "gfx/qt/child_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "gfx/types.h"

namespace gfx {

int mouse_key_state(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (buttons & Qt::LeftButton) state |= k_key_left;
    if (buttons & Qt::RightButton) state |= k_key_right;
    if (buttons & Qt::MiddleButton) state |= k_key_middle;
    if (modifiers & Qt::ShiftModifier) state |= k_key_shift;
    if (modifiers & Qt::ControlModifier) state |= k_key_ctrl;
    return state;
}

ChildView::ChildView(std::shared_ptr<Surface> surface, MouseSink sink, QWidget* parent)
    : QWidget(parent), surface_(std::move(surface)), sink_(std::move(sink)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

QSize ChildView::sizeHint() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::ceil(surface_->width() / ratio)),
                 static_cast<int>(std::ceil(surface_->height() / ratio)));
}

void ChildView::refresh() {
    const Surface::Changes changes = surface_->take_changes();
    if (changes.generation == requested_generation_) return;
    requested_generation_ = changes.generation;
    // Only the changed rectangle is painted and sent to the screen, and at once rather than at
    // the next turn of the event loop: a bar that turns green right after a new frame does not
    // wait behind another copy of the whole window.
    if (!changes.area.empty()) {
        const qreal ratio = devicePixelRatioF();
        const QPoint top_left(static_cast<int>(std::floor(changes.area.x1 / ratio)),
                              static_cast<int>(std::floor(changes.area.y1 / ratio)));
        const QPoint bottom_right(static_cast<int>(std::ceil((changes.area.x2 + 1) / ratio)),
                                  static_cast<int>(std::ceil((changes.area.y2 + 1) / ratio)));
        repaint(QRect(top_left, bottom_right - QPoint(1, 1)));
    }
    // A change outside the visible part of the view needs no paint; a hidden view is painted
    // whole when it is shown.
    if (isVisible()) painted_generation_ = requested_generation_;
}

void ChildView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    const qreal ratio = devicePixelRatioF();
    // Every change up to the requested generation is painted by now; a change drawn after its
    // refresh gets a refresh of its own.
    painted_generation_ = requested_generation_;
    surface_->read([&](const uint32_t* pixels, int width, int height) {
        // The pixels are 0xFFRRGGBB words, which is what RGB32 holds.
        QImage image(reinterpret_cast<const uchar*>(pixels), width, height,
                     static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        painter.drawImage(QPointF(0, 0), image);
    });
}

void ChildView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) deliver(event, k_left_down);
    if (event->button() == Qt::RightButton) deliver(event, k_right_down);
}

void ChildView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) deliver(event, k_left_up);
    if (event->button() == Qt::RightButton) deliver(event, k_right_up);
}

// Qt reports the second press of a double click only as this event.
void ChildView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) deliver(event, k_left_double);
    if (event->button() == Qt::RightButton) deliver(event, k_right_double);
}

void ChildView::mouseMoveEvent(QMouseEvent* event) {
    deliver(event, k_mouse_move);
}

void ChildView::deliver(const QMouseEvent* event, int event_bit) {
    const qreal ratio = devicePixelRatioF();
    const QPointF where = event->position() * ratio;
    sink_(event_bit, mouse_key_state(event->buttons(), event->modifiers()),
          static_cast<int>(std::floor(where.x())), static_cast<int>(std::floor(where.y())),
          event->timestamp());
}

ChildWindow::ChildWindow(ChildView* view, const QString& title) : view_(view) {
    setWidget(view);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
}

void ChildWindow::close_by_program() {
    closing_ = true;
    close();
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

}  // namespace gfx
