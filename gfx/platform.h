#pragma once

#ifdef PELIDOR_GFX_CORE
#error "The drawing core (canvas, surface, rasterizer, text) knows no platform."
#endif

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/canvas_observer.h"
#include "gfx/dialog.h"
#include "gfx/types.h"

namespace gfx {

using MenuRoutine = std::function<void(int argument)>;

struct MenuItem {
    int position = 0;
    int flags = 0;
    std::string text;
    MenuRoutine routine;
};

// Thrown out of the program thread by stop_program and report_fatal of platforms that do not
// end the process (the headless twin), so the caller sees how the program ended.
struct ProgramEnded {
    int status = 0;
    std::string message;  // empty for an ordinary stop
};

// What the program runs on: the frame window with its menu commands, the About box, the modal
// dialog and the message boxes, the clock, sleeping, waiting for input, tones, the local date and
// time, and the end of the program. The Qt platform and the headless twin implement the virtual
// functions; the bookkeeping of the menu commands, the About text and the exit mode is shared.
// A platform owns the canvas the program draws on and shows its surfaces: it is the canvas's
// observer (gfx/canvas_observer.h), so the canvas tells it when a window opens, closes or
// changes and when an event was delivered; input_arrived, which choose_menu also sends after
// every command, wakes a wait_for_input. A platform implements those four; only the canvas
// and the platform itself call them.
//
// Threads: the program thread calls everything except choose_menu, which the window thread
// calls.
class Platform : private CanvasObserver {
  public:
    virtual ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }

    // ---- frame window, menus, About box, exit mode
    virtual void set_frame_geometry(int x, int y, int height, int width) = 0;
    bool set_exit_mode(int mode);  // 1 ask, 2 close without asking, 3 leave open
    int exit_mode() const;
    bool set_about_text(std::string text);  // refused above 512 characters
    std::string about_text() const;
    virtual void show_about() = 0;  // the predefined "about" menu routine
    bool append_menu(int position, int flags, std::string text, MenuRoutine routine);
    std::vector<MenuItem> menu_items() const;
    virtual void tile_children() = 0;
    // Runs the routine of an enabled command; called on the window thread.
    void choose_menu(int position);

    // ---- clock, sleep, waiting, sound
    // Seconds since 1970 at start, advancing with a monotonic clock; only differences count.
    virtual double clock_seconds() = 0;
    virtual void sleep_ms(int milliseconds) = 0;  // a negative value does not wait
    // Pauses a poll loop until a mouse or menu event arrives or the timeout passes; an event
    // delivered since the previous wait ends it at once.
    virtual void wait_for_input(int timeout_ms) = 0;
    virtual void beep(int frequency, int duration_ms) = 0;
    // Returns once everything drawn so far is on the screen, so a time taken next starts with
    // the picture in view; a window system that does not answer within a fraction of a second
    // is not waited for longer.
    virtual void wait_until_shown() = 0;
    virtual LocalDate local_date() = 0;
    virtual LocalTime local_time() = 0;

    // ---- modal dialog: returns when a routine has called exit()
    virtual void run_dialog(Dialog& dialog) = 0;

    // ---- program end: neither returns
    [[noreturn]] virtual void stop_program() = 0;
    [[noreturn]] virtual void report_fatal(const std::string& message) = 0;

  protected:
    Platform();

  private:
    mutable std::mutex mutex_;  // guards what both threads touch: menus, About text, exit mode
    int exit_mode_ = 1;
    std::string about_text_;
    std::vector<MenuItem> menu_;
    Canvas canvas_;
};

}  // namespace gfx
