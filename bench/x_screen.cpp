#include "bench/x_screen.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <bit>
#include <memory>
#include <stdexcept>

namespace bench {

namespace {

struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImageHandle = std::unique_ptr<XImage, ImageDeleter>;

// The 8-bit channel that `mask` selects from a pixel value.
uint8_t channel(unsigned long value, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long maximum = mask >> shift;
    return static_cast<uint8_t>(((value & mask) >> shift) * 255 / maximum);
}

}  // namespace

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) throw std::runtime_error("cannot open the X display");
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X display has no XTest extension");
    }
    root_ = DefaultRootWindow(display_);
    const Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
    red_mask_ = visual->red_mask;
    green_mask_ = visual->green_mask;
    blue_mask_ = visual->blue_mask;
}

XScreen::~XScreen() {
    XCloseDisplay(display_);
}

int XScreen::width() const {
    return DisplayWidth(display_, DefaultScreen(display_));
}

int XScreen::height() const {
    return DisplayHeight(display_, DefaultScreen(display_));
}

Rgb XScreen::colour_of(unsigned long value) const {
    return Rgb{channel(value, red_mask_), channel(value, green_mask_), channel(value, blue_mask_)};
}

Rgb XScreen::pixel(int x, int y) {
    const ImageHandle image(XGetImage(display_, root_, x, y, 1, 1, AllPlanes, ZPixmap));
    if (!image) throw std::runtime_error("the screen could not be read");
    return colour_of(XGetPixel(image.get(), 0, 0));
}

ScreenPicture XScreen::read(int x, int y, int width, int height) {
    const ImageHandle image(XGetImage(display_, root_, x, y, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), AllPlanes, ZPixmap));
    if (!image) throw std::runtime_error("the screen could not be read");
    ScreenPicture picture{width, height, {}};
    picture.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            picture.pixels.push_back(colour_of(XGetPixel(image.get(), column, row)));
        }
    }
    return picture;
}

void XScreen::move_pointer(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XScreen::press(unsigned button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XFlush(display_);
}

void XScreen::release(unsigned button) {
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XFlush(display_);
}

}  // namespace bench
