#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "gfx/headless/headless_platform.h"
#include "plot/page.h"
#include "plot/plot_state.h"
#include "plot/transforms.h"

namespace plot_test {

constexpr gfx::Colour k_white = 0xFFFFFF;
constexpr gfx::Colour k_black = 0x000000;

// A fresh package state and the program's page 1 of 980 by 650 pixels, white, with its fonts
// prepared, as the main program leaves it at start-up.
class PlotPage : public ::testing::Test {
  protected:
    void SetUp() override {
        state::start_run();
        plot::PAGE(canvas.canvas(), 1, 650, 980, "Trainer for eyes");
        canvas.canvas().initialize_fonts();
    }

    gfx::Colour pixel(int x, int y) const { return canvas.pixel(x, y); }

    // Pixels of unit 1 inside the rectangle (both corners included) that satisfy `test`.
    int count_pixels(int x1, int y1, int x2, int y2,
                     const std::function<bool(gfx::Colour)>& test) const {
        int count = 0;
        for (int y = y1; y <= y2; ++y) {
            for (int x = x1; x <= x2; ++x) count += test(pixel(x, y)) ? 1 : 0;
        }
        return count;
    }
    int count_not_white(int x1, int y1, int x2, int y2) const {
        return count_pixels(x1, y1, x2, y2, [](gfx::Colour c) { return c != k_white; });
    }
    int count_not_white() const { return count_not_white(0, 0, 979, 649); }

    gfx::HeadlessPlatform canvas;
};

// Region 1 of page 1 laid out as the upper panel of the progress graph, world x 0 to 10 and
// y 0 to 1: columns 40 to 937, rows 35 to 252. The window is cleared again after the frame, so
// every test starts from a white window.
class PlotRegion : public PlotPage {
  protected:
    void SetUp() override {
        PlotPage::SetUp();
        plot::REGION(canvas.canvas(), 1, 1, 10.0f, 110.0f, 220.0f, 60.0f);
        plot::LIMITS(1, 1, 0.0f, 10.0f, 0.0f, 1.0f);
        canvas.canvas().clear_screen();
    }
};

}  // namespace plot_test
