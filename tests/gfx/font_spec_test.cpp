#include "gfx/font_spec.h"

#include <gtest/gtest.h>

namespace gfx {
namespace {

GTEST_TEST(FontSpec, ReadsTheOptionsItKnows) {
    struct Case {
        const char* what;
        const char* options;
        FontSpec expected;
    };
    const Case cases[] = {
        {"the symbol font",
         "t'Times New Roman Cyr'h24w7b",
         {"Times New Roman Cyr", 24, 7, false, true}},
        {"italic best fit",
         "t'Times New Roman Cyr'h38w17ib",
         {"Times New Roman Cyr", 38, 17, true, true}},
        {"upper-case letters", "T'Arial'H12W4IB", {"Arial", 12, 4, true, true}},
        {"any order", "bh120it'Serif'w40", {"Serif", 120, 40, true, true}},
        {"blanks between options", "t'Serif' h16 w5 b", {"Serif", 16, 5, false, true}},
        {"face keeps its case and blanks", "t' Mixed Case '", {" Mixed Case ", 0, 0, false, false}},
        {"a repeated option keeps its last value", "h10h20", {"", 20, 0, false, false}},
        {"nothing", "", {}},
        {"32-character face",
         "t'abcdefghijklmnopqrstuvwxyz012345'",
         {"abcdefghijklmnopqrstuvwxyz012345", 0, 0, false, false}},
        {"32 Cyrillic letters count as characters",
         "t'ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ'",
         {"ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ", 0, 0, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<FontSpec> request = parse_font_options(c.options);
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->face, c.expected.face);
        EXPECT_EQ(request->height, c.expected.height);
        EXPECT_EQ(request->width, c.expected.width);
        EXPECT_EQ(request->italic, c.expected.italic);
        EXPECT_EQ(request->best_fit, c.expected.best_fit);
    }
}

GTEST_TEST(FontSpec, RefusesWhatItDoesNotKnow) {
    struct Case {
        const char* what;
        const char* options;
    };
    constexpr Case cases[] = {
        {"unknown letter", "t'Serif'h12e"},
        {"height without a number", "t'Serif'hw7"},
        {"width at the end without a number", "h12w"},
        {"negative number", "h-12"},
        {"number too large", "h99999999999"},
        {"face without quotes", "tSerif"},
        {"face without its closing quote", "t'Serif h12"},
        {"face longer than 32 characters", "t'abcdefghijklmnopqrstuvwxyz0123456'"},
        {"stray digits", "12"},
        {"punctuation", "h12,w7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(parse_font_options(c.options).has_value());
    }
}

}  // namespace
}  // namespace gfx
