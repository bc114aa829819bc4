#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx/dialog.h"
#include "gfx/font_spec.h"
#include "gfx/surface.h"
#include "gfx/types.h"

namespace gfx {

using MouseRoutine = std::function<void(int unit, int event, int key_state, int x, int y)>;
using MenuRoutine = std::function<void(int argument)>;

struct MenuItem {
    int position = 0;
    int flags = 0;
    std::string text;
    MenuRoutine routine;
};

// Thrown out of the program thread by stop_program and report_fatal of services that do not
// end the process (the headless twin), so the caller sees how the program ended.
struct ProgramEnded {
    int status = 0;
    std::string message;  // empty for an ordinary stop
};

// The window service: frame window, child graphics windows addressed by unit numbers, drawing,
// text and images on the active child window, mouse and menu callbacks, the About box, the
// modal dialog, clock, sleep, tones and the end of the program.
//
// Drawing is done here, on the shared surfaces, so every implementation gives the same pixels.
// The platform parts are the virtual functions; the Qt window and the headless twin supply them.
//
// Threads: the program thread calls everything except deliver_mouse and choose_menu, which the
// window thread calls.
class WindowService {
  public:
    WindowService();
    virtual ~WindowService();
    WindowService(const WindowService&) = delete;
    WindowService& operator=(const WindowService&) = delete;

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

    // ---- child windows
    void open_child(int unit, std::string title);
    // Applies the pixel size to the active window; -1 in a size keeps the window's size. A
    // record it cannot take (a size of 0 or below, a font size of 0) is refused and corrected
    // in place, so that the same record submitted again succeeds.
    bool set_window_config(WindowConfig& config);
    WindowConfig window_config() const;  // of the active window
    bool set_active(int unit);           // true when done
    bool set_focus(int unit);            // true when done
    void close_unit(int unit);
    bool unit_open(int unit) const;
    std::string title(int unit) const;
    std::shared_ptr<Surface> surface(int unit) const;  // null when the unit is not open
    int active_unit() const { return active_unit_; }

    // ---- mouse
    bool register_mouse(int unit, int mask, MouseRoutine routine);
    // When the latest button press handed to a mouse routine happened, on the clock of
    // clock_seconds(), as the platform stamped it; nullopt when the platform gave that press no
    // usable stamp. It is stored before the routine runs: a poll that has seen the MEVENT the
    // routine stored then reads the moment of that press, or of a later one.
    std::optional<double> latest_press_seconds() const;

    // ---- drawing on the active window
    Colour set_colour(Colour colour);  // returns the previous colour
    Colour colour() const;
    void set_background_colour(Colour colour);
    void set_text_colour(Colour colour);
    Colour text_colour() const;
    void set_line_style(uint16_t mask);
    uint16_t line_style() const;
    Point move_to(int16_t x, int16_t y);  // returns the previous position
    Point position() const;
    void line_to(int16_t x, int16_t y);
    void set_pixel(int16_t x, int16_t y, Colour colour);
    // Rectangles and lines include both end pixels. A filled ellipse or polygon covers only the
    // area between its coordinates (see gfx/raster.h), so a filled box from x1 to x2 is
    // x2 - x1 pixels wide.
    void rectangle(Shape shape, int16_t x1, int16_t y1, int16_t x2, int16_t y2);
    void ellipse(Shape shape, int16_t x1, int16_t y1, int16_t x2, int16_t y2);
    bool polygon(Shape shape, std::span<const Point> points);
    void clear_screen();

    // ---- text
    int initialize_fonts();
    int set_font(const std::string& options);  // font index, or -1 when refused
    std::optional<FontSpec> font() const;
    void set_text_rotation(int tenths);
    int text_rotation() const;
    void out_text(const std::string& utf8);

    // ---- images of the active window
    std::size_t image_size(int16_t x1, int16_t y1, int16_t x2, int16_t y2) const;
    void get_image(int16_t x1, int16_t y1, int16_t x2, int16_t y2, std::span<std::byte> buffer);
    void put_image(int16_t x, int16_t y, std::span<const std::byte> buffer, ImageAction action);

    // ---- clock, sleep, sound
    // Seconds since 1970 at start, advancing with a monotonic clock; only differences count.
    virtual double clock_seconds() = 0;
    virtual void sleep_ms(int milliseconds) = 0;  // a negative value does not wait
    // Pauses a poll loop until a mouse or menu event arrives or the timeout passes; an event
    // delivered since the previous wait ends it at once.
    virtual void wait_for_input(int timeout_ms) = 0;
    virtual void beep(int frequency, int duration_ms) = 0;
    virtual LocalDate local_date() = 0;
    virtual LocalTime local_time() = 0;

    // ---- modal dialog: returns when a routine has called exit()
    virtual void run_dialog(Dialog& dialog) = 0;

    // ---- program end: neither returns
    [[noreturn]] virtual void stop_program() = 0;
    [[noreturn]] virtual void report_fatal(const std::string& message) = 0;

    // ---- called by the platform on the window thread
    // `at_seconds`: when the event happened, on the clock of clock_seconds(), if the platform
    // can tell.
    void deliver_mouse(int unit, int event, int key_state, int x, int y,
                       std::optional<double> at_seconds = std::nullopt);
    void choose_menu(int position);

  protected:
    // A child window's pixels changed; the platform shows them when it can.
    virtual void present(int unit) = 0;
    // A child window was opened, or its surface was replaced by one of another size.
    virtual void child_opened(int unit) = 0;
    virtual void child_closed(int unit) = 0;
    // Wakes a wait_for_input; the base calls it after every delivered event.
    virtual void input_arrived() = 0;

  private:
    struct GraphicsState {
        Colour colour = k_white;
        Colour background = k_black;
        Colour text_colour = k_white;
        uint16_t line_style = 0xFFFF;
        Point position;
        std::optional<FontSpec> font;
        int rotation = 0;
        bool fonts_ready = false;
        WindowConfig config;
    };
    struct Child {
        std::string title;
        std::shared_ptr<Surface> surface;
        GraphicsState state;
    };
    struct MouseRegistration {
        int mask = 0;
        MouseRoutine routine;
    };

    Child* active();
    const Child* active() const;
    void changed();

    mutable std::mutex mutex_;  // guards what both threads touch: units, menus, mouse, about
    std::map<int, Child> children_;
    int active_unit_ = 0;
    int exit_mode_ = 1;
    std::string about_text_;
    std::vector<MenuItem> menu_;
    std::map<int, MouseRegistration> mouse_;
    // NaN: no press yet, or the latest had no usable stamp.
    std::atomic<double> latest_press_seconds_{std::numeric_limits<double>::quiet_NaN()};
};

}  // namespace gfx
