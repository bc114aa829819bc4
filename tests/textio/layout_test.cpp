#include "textio/layout.h"

#include <gtest/gtest.h>

namespace {

using textio::Descriptor;
using textio::Field;

// "No. 07: 3.25 ok", as a table.
constexpr Field k_line[] = {
    {1, Descriptor::literal("No."), {}},  {4, Descriptor::I(3, 2), "number"},
    {7, Descriptor::literal(":"), {}},    {8, Descriptor::F(5, 2), "value"},
    {13, Descriptor::literal(" ok"), {}},
};

GTEST_TEST(Layout, AFieldStartsWhereTheOneBeforeItEnds) {
    static_assert(textio::columns_follow(k_line));
    constexpr Field gap[] = {{1, Descriptor::I(2), "a"}, {4, Descriptor::I(2), "b"}};
    constexpr Field overlap[] = {{1, Descriptor::I(2), "a"}, {2, Descriptor::I(2), "b"}};
    constexpr Field late_start[] = {{2, Descriptor::I(2), "a"}};
    EXPECT_FALSE(textio::columns_follow(gap));
    EXPECT_FALSE(textio::columns_follow(overlap));
    EXPECT_FALSE(textio::columns_follow(late_start));
}

GTEST_TEST(Layout, ReadsEachFieldFromItsColumns) {
    const std::string line = "No. 07: 3.25 ok";
    EXPECT_EQ(textio::text_at(line, k_line[1]), " 07");
    EXPECT_EQ(textio::text_at(line, k_line[3]), " 3.25");
    EXPECT_EQ(textio::text_at("No. 0", k_line[3]), "     ") << "a short line reads as blanks";
}

}  // namespace
