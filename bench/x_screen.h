#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace bench {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A rectangle of the screen as it was read.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // row by row
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The X display named by DISPLAY, seen and used as a person would: pixels read from the
// screen, the pointer moved and buttons pressed through the XTest extension. Every request
// is sent at once, so its moment is the moment of the call.
class XScreen {
  public:
    XScreen();  // throws std::runtime_error without a display or XTest
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    int width() const;
    int height() const;
    Rgb pixel(int x, int y);
    ScreenPicture read(int x, int y, int width, int height);

    void move_pointer(int x, int y);
    // X button numbers: 1 left, 3 right.
    void press(unsigned button);
    void release(unsigned button);

  private:
    Rgb colour_of(unsigned long value) const;

    Display* display_;
    Window root_;
    unsigned long red_mask_;
    unsigned long green_mask_;
    unsigned long blue_mask_;
};

}  // namespace bench
