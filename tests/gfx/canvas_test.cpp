#include "gfx/canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gfx/canvas_observer.h"
#include "gfx/headless/headless_platform.h"

namespace {

using gfx::WindowConfig;

GTEST_TEST(WindowConfigTest, ARefusedRecordIsCorrectedSoThatItSucceedsWhenSubmittedAgain) {
    struct Case {
        const char* what;
        WindowConfig record;
        bool sized_before;  // the window already has 980 × 650 pixels
        int16_t width, height;
    };
    const Case cases[] = {
        {"a font size of 0 on a new window", {980, 650, -1, -1, -1, 0}, false, 980, 650},
        {"no size on a new window", {0, 0, 0, 0, 0, 0}, false, 640, 480},
        {"a negative width on a sized window", {-5, 300, -1, -1, -1, -1}, true, 980, 300},
        {"no height on a sized window", {500, 0, -1, -1, -1, -1}, true, 500, 650},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gfx::HeadlessPlatform twin;
        gfx::Canvas& canvas = twin.canvas();
        canvas.open_child(1, "Trainer for eyes");
        if (c.sized_before) {
            WindowConfig first{980, 650, -1, -1, -1, -1};
            ASSERT_TRUE(canvas.set_window_config(first));
        }
        WindowConfig record = c.record;
        EXPECT_FALSE(canvas.set_window_config(record));
        EXPECT_GT(record.pixel_width, 0);
        EXPECT_GT(record.pixel_height, 0);
        EXPECT_NE(record.font_size, 0);
        EXPECT_TRUE(canvas.set_window_config(record)) << "the corrected record is refused again";
        EXPECT_EQ(canvas.window_config().pixel_width, c.width);
        EXPECT_EQ(canvas.window_config().pixel_height, c.height);
    }
}

GTEST_TEST(WindowConfigTest, MinusOneInASizeKeepsTheWindowsSize) {
    gfx::HeadlessPlatform twin;
    gfx::Canvas& canvas = twin.canvas();
    canvas.open_child(1, "Trainer for eyes");
    WindowConfig first{980, 650, -1, -1, -1, -1};
    ASSERT_TRUE(canvas.set_window_config(first));
    WindowConfig record{-1, 400, -1, -1, -1, -1};
    EXPECT_TRUE(canvas.set_window_config(record));
    EXPECT_EQ(canvas.window_config().pixel_width, 980);
    EXPECT_EQ(canvas.window_config().pixel_height, 400);
}

// Writes down what the canvas reports, in order.
class RecordingObserver : public gfx::CanvasObserver {
  public:
    void present(int unit) override { reports.push_back("present " + std::to_string(unit)); }
    void child_opened(int unit) override { reports.push_back("opened " + std::to_string(unit)); }
    void child_closed(int unit) override { reports.push_back("closed " + std::to_string(unit)); }
    void input_arrived() override { reports.push_back("input"); }

    std::vector<std::string> reports;
};

GTEST_TEST(CanvasReports, TheObserverHearsWhatChangesOnTheScreen) {
    using Reports = std::vector<std::string>;
    struct Case {
        const char* what;
        std::function<void(gfx::Canvas&)> act;
        Reports reports;
    };
    constexpr std::array<gfx::Point, 3> triangle{{{10, 10}, {40, 10}, {10, 40}}};
    const Case cases[] = {
        {"opening a unit", [](gfx::Canvas& c) { c.open_child(2, "Graph"); }, {"opened 2"}},
        {"resizing the active unit",
         [](gfx::Canvas& c) {
             WindowConfig record{320, 200, -1, -1, -1, -1};
             c.set_window_config(record);
         },
         {"opened 1"}},
        {"a refused window record",
         [](gfx::Canvas& c) {
             WindowConfig record{0, 0, 0, 0, 0, 0};
             c.set_window_config(record);
         },
         {}},
        {"a line", [](gfx::Canvas& c) { c.line_to(50, 50); }, {"present 1"}},
        {"a pixel", [](gfx::Canvas& c) { c.set_pixel(5, 5, gfx::k_white); }, {"present 1"}},
        {"a box",
         [](gfx::Canvas& c) { c.rectangle(gfx::Shape::filled, 1, 1, 9, 9); },
         {"present 1"}},
        {"an ellipse",
         [](gfx::Canvas& c) { c.ellipse(gfx::Shape::outline, 1, 1, 9, 9); },
         {"present 1"}},
        {"a polygon",
         [&](gfx::Canvas& c) { c.polygon(gfx::Shape::filled, triangle); },
         {"present 1"}},
        {"a polygon of two points is refused",
         [&](gfx::Canvas& c) { c.polygon(gfx::Shape::filled, std::span(triangle).first(2)); },
         {}},
        {"clearing", [](gfx::Canvas& c) { c.clear_screen(); }, {"present 1"}},
        {"text", [](gfx::Canvas& c) { c.out_text("E"); }, {"present 1"}},
        {"an image put back",
         [](gfx::Canvas& c) {
             std::vector<std::byte> image(c.image_size(0, 0, 7, 7));
             c.get_image(0, 0, 7, 7, image);
             c.put_image(20, 20, image, gfx::ImageAction::copy);
         },
         {"present 1"}},
        {"an unreadable image",
         [](gfx::Canvas& c) {
             const std::vector<std::byte> garbage(64, std::byte{0x5A});
             c.put_image(20, 20, garbage, gfx::ImageAction::copy);
         },
         {}},
        {"colour, style and position only",
         [](gfx::Canvas& c) {
             c.set_colour(gfx::k_black);
             c.set_line_style(0xF0F0);
             c.move_to(3, 3);
         },
         {}},
        {"drawing on a unit without a surface",
         [](gfx::Canvas& c) {
             c.open_child(3, "Empty");
             c.line_to(5, 5);
         },
         {"opened 3"}},
        {"closing an open unit", [](gfx::Canvas& c) { c.close_unit(1); }, {"closed 1"}},
        {"closing a unit never opened", [](gfx::Canvas& c) { c.close_unit(9); }, {}},
        {"an event the routine asked for",
         [](gfx::Canvas& c) { c.deliver_mouse(1, gfx::k_left_down, gfx::k_key_left, 4, 4); },
         {"input"}},
        {"an event the routine did not ask for",
         [](gfx::Canvas& c) { c.deliver_mouse(1, gfx::k_mouse_move, 0, 4, 4); },
         {}},
        {"an event of a unit without a routine",
         [](gfx::Canvas& c) { c.deliver_mouse(2, gfx::k_left_down, gfx::k_key_left, 4, 4); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gfx::HeadlessPlatform platform;
        RecordingObserver observer;
        gfx::Canvas canvas(platform, observer);
        canvas.open_child(1, "Trainer for eyes");
        WindowConfig record{64, 64, -1, -1, -1, -1};
        ASSERT_TRUE(canvas.set_window_config(record));
        canvas.initialize_fonts();
        ASSERT_EQ(canvas.set_font("h16"), 1);
        int routine_calls = 0;
        canvas.register_mouse(1, gfx::k_left_down,
                              [&](int, int, int, int, int, auto) { ++routine_calls; });
        observer.reports.clear();

        c.act(canvas);

        EXPECT_EQ(observer.reports, c.reports);
        EXPECT_EQ(routine_calls, c.reports == Reports{"input"} ? 1 : 0);
    }
}

}  // namespace
