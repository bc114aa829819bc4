#pragma once

#include <QMainWindow>
#include <functional>

namespace gfx {

// The frame window. Closing it by the window manager is handed to a callback instead.
class FrameWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit FrameWindow(std::function<void()> on_close) : on_close_(std::move(on_close)) {}

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> on_close_;
};

}  // namespace gfx
