#pragma once

namespace gfx {

// What the canvas tells whoever shows its windows: a window was opened, changed or closed, and
// an event was handed to a mouse routine. The canvas knows nothing else of the one it reports
// to; a platform implements this to show the surfaces and to wake a program waiting for input.
//
// Threads: present, child_opened and child_closed come on the program thread, input_arrived on
// the thread that delivered the event (the window thread, on a platform that has one).
class CanvasObserver {
  public:
    // A child window's pixels changed; it is shown when the observer can.
    virtual void present(int unit) = 0;
    // A child window was opened, or its surface was replaced by one of another size.
    virtual void child_opened(int unit) = 0;
    virtual void child_closed(int unit) = 0;
    // A mouse routine has taken an event.
    virtual void input_arrived() = 0;

  protected:
    ~CanvasObserver() = default;
};

}  // namespace gfx
