#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "app/main_program.h"
#include "app/start_screen.h"
#include "gfx/canvas.h"

namespace app {

// The start screen loop: serves pending requests at its head, then runs passes over the sizes
// 2..9, 8..2, 3..9, ..., drawing each picture and holding it at least 5 s, and reacts to the
// mouse at the poll points.
class MainLoop {
  public:
    MainLoop(gfx::Canvas& canvas, const Routines& routines);

    [[noreturn]] void run();

    // The checks of the shared state at one poll point of the drawing, and the check made
    // every 200 ms while a finished picture is held. Each returns true when a check restarted
    // the loop; both buttons end the program. They are the whole of the loop's reaction to the
    // mouse and the menu, so they can be exercised on their own with a prepared shared state.
    bool checks_at(PollPoint point);
    bool hold_check();

  private:
    enum class Check { both, request, right, left };
    enum class LeftVariant { drawing, hold };

    void serve_requests();
    // Runs the current pass; false when a check restarted the loop.
    bool run_pass();
    // Draws and holds one size; false when a check restarted the loop.
    bool size_step(int32_t size);
    // Runs the checks in order; true when one of them restarts the loop.
    bool checks(std::initializer_list<Check> order, LeftVariant variant);

    gfx::Canvas& canvas_;
    const Routines& routines_;
    int32_t pass_start_ = 2;
    int32_t pass_end_ = 9;
    int32_t pass_step_ = 1;
    int32_t NSHOWN = 2;
    std::vector<std::byte> KADRDIM;
};

}  // namespace app
