#include "gfx/qt/frame_window.h"

#include <QCloseEvent>

namespace gfx {

void FrameWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (on_close_) on_close_();
}

}  // namespace gfx
