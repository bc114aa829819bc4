#include "params/dialog_template.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using gfx::ControlKind;

// The styles of the controls: a push button, a label, and the three kinds of edit field.
enum class Style { button, label, plain_edit, scrolling_edit, digits_only_edit };

struct Control {
    int id;
    Style style;
    const char* text;
    int x, y, width, height;
};

// The parameters dialog, control by control in template order.
constexpr Control k_controls[] = {
    {1, Style::button, "Begin the training", 15, 195, 168, 36},
    {2, Style::button, "Exit from the program", 244, 210, 86, 21},
    {-1, Style::label, "Distance from eyes up to display", 18, 7, 103, 12},
    {1000, Style::plain_edit, "", 129, 7, 50, 17},
    {-1, Style::label, "centimeters", 193, 7, 53, 12},
    {-1, Style::label, "Diagonal of display", 18, 37, 76, 13},
    {-1, Style::label, "inches", 193, 36, 31, 14},
    {1001, Style::scrolling_edit, "", 129, 34, 50, 17},
    {-1, Style::label, "Display resolution", 18, 79, 75, 12},
    {-1, Style::label, "Volume of training", 18, 131, 79, 11},
    {-1, Style::label, "praxis", 193, 131, 60, 15},
    {-1, Style::label, "Nx=", 94, 89, 16, 11},
    {-1, Style::label, "pixels on the screen", 193, 89, 68, 11},
    {-1, Style::label, "pixels on the screen", 193, 73, 68, 11},
    {-1, Style::label, "Ny=", 94, 73, 16, 11},
    {1002, Style::digits_only_edit, "", 137, 71, 44, 14},
    {1003, Style::digits_only_edit, "", 137, 88, 44, 14},
    {1004, Style::digits_only_edit, "", 129, 127, 50, 17},
    {-1, Style::label, "(Be not too lazy, measure!", 236, 31, 94, 10},
    {-1, Style::label, "1 inch = 25.4 mm)", 235, 42, 59, 9},
    {1005, Style::digits_only_edit, "", 130, 152, 50, 17},
    {-1, Style::label, "Time for the answer", 18, 155, 79, 11},
    {-1, Style::label, "seconds", 193, 155, 60, 15},
};

GTEST_TEST(DialogTemplateTest, ParametersDialogHasItsTitleFrameFontAndEveryControl) {
    const std::optional<gfx::DialogTemplate> layout = params::find_dialog_template(101);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->resource_id, 101);
    EXPECT_EQ(layout->title, "Input parameters.   If necessary, change!");
    EXPECT_EQ(layout->x, 50);
    EXPECT_EQ(layout->y, 20);
    EXPECT_EQ(layout->width, 340);
    EXPECT_EQ(layout->height, 238);
    EXPECT_EQ(layout->font_face, "MS Sans Serif");
    EXPECT_EQ(layout->font_points, 8);

    ASSERT_EQ(layout->controls.size(), std::size(k_controls));
    for (std::size_t i = 0; i < std::size(k_controls); ++i) {
        const Control& expected = k_controls[i];
        const gfx::ControlTemplate& control = layout->controls[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << " (" << expected.text << ")");
        const bool is_edit = expected.style == Style::plain_edit ||
                             expected.style == Style::scrolling_edit ||
                             expected.style == Style::digits_only_edit;
        const ControlKind kind = expected.style == Style::button ? ControlKind::push_button
                                 : is_edit                       ? ControlKind::edit
                                                                 : ControlKind::label;
        EXPECT_EQ(control.id, expected.id);
        EXPECT_EQ(control.kind, kind);
        EXPECT_EQ(control.text, expected.text);
        EXPECT_EQ(control.x, expected.x);
        EXPECT_EQ(control.y, expected.y);
        EXPECT_EQ(control.width, expected.width);
        EXPECT_EQ(control.height, expected.height);
        // A scrolling edit scrolls; a digits-only edit is a scrolling edit that takes digits.
        EXPECT_EQ(control.auto_scroll, expected.style == Style::scrolling_edit ||
                                           expected.style == Style::digits_only_edit);
        EXPECT_EQ(control.digits_only, expected.style == Style::digits_only_edit);
    }
}

GTEST_TEST(DialogTemplateTest, OtherResourcesHaveNoTemplate) {
    EXPECT_FALSE(params::find_dialog_template(102).has_value());
    EXPECT_FALSE(params::find_dialog_template(0).has_value());
}

}  // namespace
