#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "gfx/canvas_observer.h"
#include "gfx/font_spec.h"
#include "gfx/surface.h"
#include "gfx/types.h"

namespace gfx {

class Platform;

// `at_seconds`: when the event happened, on the clock of clock_seconds(), as the platform
// stamped it; nullopt when the platform gave the event no usable stamp.
using MouseRoutine = std::function<void(int unit, int event, int key_state, int x, int y,
                                        std::optional<double> at_seconds)>;

// What the program draws on: the child graphics windows addressed by unit numbers, each with its
// surface and drawing state; every drawing, text and image operation, on the active window; and
// the mouse routine each window hands its events to. There is one canvas implementation for
// every platform, so the Qt window and the headless twin give the same pixels. The canvas tells
// its observer when a window opens, closes or changes and when an event has been delivered
// (gfx/canvas_observer.h), and knows nothing more of the platform it runs on: that shows the
// surfaces and supplies time, waiting, tones, dialogs and the program's end to the routines
// that draw (`platform()`).
//
// Threads: the program thread calls everything except deliver_mouse, which the platform calls on
// its window thread; the platform also reads title() and surface() there.
class Canvas {
  public:
    // `platform` is only handed on to the routines; `observer` hears what the canvas reports.
    // Both must outlive the canvas.
    Canvas(Platform& platform, CanvasObserver& observer);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Platform& platform() const { return platform_; }

    // ---- child windows
    void open_child(int unit, std::string title);
    // Applies the pixel size to the active window; -1 in a size keeps the window's size. A
    // record it cannot take (a size of 0 or below, a font size of 0) is refused and corrected
    // in place, so that the same record submitted again succeeds.
    bool set_window_config(WindowConfig& config);
    WindowConfig window_config() const;  // of the active window
    bool set_active(int unit);           // true when done
    bool set_focus(int unit);            // true when done
    // Closes the unit's window and ends its mouse routine; its surface and drawing state stay,
    // so drawing on it afterwards is harmless.
    void close_unit(int unit);
    std::string title(int unit) const;
    std::shared_ptr<Surface> surface(int unit) const;  // null when the unit is not open
    int active_unit() const { return active_unit_; }

    // ---- mouse
    bool register_mouse(int unit, int mask, MouseRoutine routine);
    // Hands an event the unit's routine selected to it. Called by the platform on its window
    // thread.
    void deliver_mouse(int unit, int event, int key_state, int x, int y,
                       std::optional<double> at_seconds = std::nullopt);

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

    Platform& platform_;
    CanvasObserver& observer_;
    mutable std::mutex mutex_;  // guards what both threads touch: the units and mouse routines
    std::map<int, Child> children_;
    int active_unit_ = 0;
    std::map<int, MouseRegistration> mouse_;
};

}  // namespace gfx
