#include "textio/fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Single-precision values as the program holds them, widened exactly.
constexpr double from_float(float value) {
    return static_cast<double>(value);
}

GTEST_TEST(FormatInt, WritesIntegersRightJustifiedWithMinimumDigits) {
    struct Case {
        const char* what;
        int64_t value;
        int width;
        int min_digits;
        const char* text;
    };
    constexpr Case cases[] = {
        {"exact width", 1024, 4, 0, "1024"},
        {"right-justified, blank-filled", 100, 7, 0, "    100"},
        {"zero in a plain field is one digit", 0, 4, 0, "   0"},
        {"I2.2 gives a leading zero", 5, 2, 2, "05"},
        {"I2.2 of zero", 0, 2, 2, "00"},
        {"I2.2 leaves two digits alone", 31, 2, 2, "31"},
        {"minimum digits narrower than the field", 7, 4, 2, "  07"},
        {"negative value takes a column for the sign", -5, 4, 0, "  -5"},
        {"negative value with minimum digits", -5, 3, 2, "-05"},
        {"too wide: asterisks", 10000, 4, 0, "****"},
        {"sign makes it too wide", -10, 2, 0, "**"},
        {"minimum digits wider than the field", 5, 2, 3, "**"},
        {"I7 takes what I4 cannot", 10000, 7, 0, "  10000"},
        {"most negative 64-bit value", std::numeric_limits<int64_t>::min(), 20, 0,
         "-9223372036854775808"},
        {"zero width is empty", 5, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::format_int(c.value, c.width, c.min_digits), c.text);
    }
}

GTEST_TEST(FormatFixed, WritesRoundedValuesWithAPoint) {
    struct Case {
        const char* what;
        double value;
        int width;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {"whole number F7.3", 200.0, 7, 3, "200.000"},
        {"single-precision 17.7 in F7.3", from_float(17.7f), 7, 3, " 17.700"},
        {"whole number F6.1", 200.0, 6, 1, " 200.0"},
        {"single-precision 17.7 in F6.2", from_float(17.7f), 6, 2, " 17.70"},
        {"F6.1 of 50", 50.0, 6, 1, "  50.0"},
        {"F7.1 distance", 200.0, 7, 1, "  200.0"},
        {"F8.2 time", 1.23, 8, 2, "    1.23"},
        {"leading zero where the width leaves room", from_float(0.8f), 5, 2, " 0.80"},
        {"leading zero filling the width", 0.5, 4, 2, "0.50"},
        {"no room for the leading zero", 0.5, 3, 2, ".50"},
        {"negative with leading zero", -0.5, 5, 2, "-0.50"},
        {"negative without room for the zero", -0.5, 4, 2, "-.50"},
        {"negative too wide", -0.5, 3, 2, "***"},
        {"no decimals still writes the point", 5.0, 4, 0, "  5."},
        {"zero with no decimals", 0.4, 2, 0, "0."},
        {"a lone point is no number: zero needs its digit", 0.4, 1, 0, "*"},
        {"too wide: asterisks", 100000.0, 7, 1, "*******"},
        {"rounding up carries into a new digit", 99.96, 5, 1, "100.0"},
        {"rounding up carries past the width", 999.96, 5, 1, "*****"},
        {"huge value", 1e300, 10, 2, "**********"},
        {"more decimals than the width holds", 1.0, 3, 3, "***"},
        {"tiny value rounds to zero", 5e-324, 4, 2, "0.00"},
        {"a negative value rounding to zero keeps its sign", -0.04, 7, 1, "   -0.0"},
        {"the same in F7.3", from_float(-0.0004f), 7, 3, " -0.000"},
        {"and without room for its zero", -0.001, 4, 2, "-.00"},
        {"zero has no sign", 0.0, 7, 3, "  0.000"},
        {"negative zero has no sign either", -0.0, 7, 1, "    0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::format_fixed(c.value, c.width, c.decimals), c.text);
    }
}

GTEST_TEST(FormatFixed, RoundsTheExactBinaryValueHalfAwayFromZero) {
    // The decimal a value is written with is not always the binary value it holds: 2.675 is
    // stored just below, 99.95f just below, 1.005f just below. True ties round away from 0.
    struct Case {
        const char* what;
        double value;
        int width;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {"double 2.675 is below the tie", 2.675, 4, 2, "2.67"},
        {"float 1.005 is below the tie", from_float(1.005f), 4, 2, "1.00"},
        {"float 99.95 is below the tie", from_float(99.95f), 4, 1, "99.9"},
        {"double 99.95 is above the tie", 99.95, 5, 1, "100.0"},
        {"float 0.15 is above the tie", from_float(0.15f), 3, 1, "0.2"},
        {"exact tie rounds up", 0.125, 4, 2, "0.13"},
        {"exact tie of an acuity shown with one decimal", 1.25, 4, 1, " 1.3"},
        {"exact negative tie rounds away from zero", -2.25, 5, 1, " -2.3"},
        {"exact tie to a whole number", 2.5, 3, 0, " 3."},
        {"float 17.7 with many decimals shows its binary value", from_float(17.7f), 12, 9,
         "17.700000763"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::format_fixed(c.value, c.width, c.decimals), c.text);
    }
}

GTEST_TEST(FormatFixed, WritesValuesThatAreNotNumbers) {
    struct Case {
        const char* what;
        double value;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {"NaN right-justified", nan_value, 8, "     NaN"},
        {"NaN exactly fitting", nan_value, 3, "NaN"},
        {"NaN too wide", nan_value, 2, "**"},
        {"infinity spelled out when it fits", infinity, 8, "Infinity"},
        {"infinity shortened", infinity, 7, "    Inf"},
        {"negative infinity", -infinity, 4, "-Inf"},
        {"negative infinity too wide", -infinity, 3, "***"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::format_fixed(c.value, c.width, 2), c.text);
    }
}

GTEST_TEST(FormatFixedFit, DropsDecimalsBeforeGivingUp) {
    struct Case {
        const char* what;
        double value;
        int width;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {"fits with all decimals", 200.0, 7, 3, "200.000"},
        {"one decimal dropped", 1234.5, 7, 3, "1234.50"},
        {"two decimals dropped", 99999.9, 7, 3, "99999.9"},
        {"rounding with fewer decimals carries", 9999.9996, 7, 3, "10000.0"},
        {"negative value", -123.456, 7, 3, "-123.46"},
        {"no decimals left", 999999.4, 7, 3, "999999."},
        {"nothing fits", 12345678.0, 7, 3, "*******"},
        {"NaN", nan_value, 7, 3, "    NaN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::format_fixed_fit(c.value, c.width, c.decimals), c.text);
    }
}

GTEST_TEST(Blanks, SkipsColumns) {
    EXPECT_EQ(textio::blanks(3), "   ");
    EXPECT_EQ(textio::blanks(0), "");
    EXPECT_EQ(textio::blanks(-1), "");
}

GTEST_TEST(FieldAt, TakesTheColumnsAndPadsShortLines) {
    struct Case {
        const char* what;
        const char* line;
        int column;
        int width;
        const char* field;
    };
    constexpr Case cases[] = {
        {"inside the line", "abcdef", 2, 3, "bcd"},
        {"from the first column", "abcdef", 1, 2, "ab"},
        {"running past the end", "abcdef", 5, 4, "ef  "},
        {"wholly past the end", "abcdef", 10, 2, "  "},
        {"empty line", "", 1, 3, "   "},
        {"count field of a figure header", "figure 2        00000012", 17, 8, "00000012"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::field_at(c.line, c.column, c.width), c.field);
    }
}

GTEST_TEST(ReadInt, ReadsIntegerFieldsAndRejectsAnythingElse) {
    struct Case {
        const char* what;
        const char* field;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"plain", "1024", 1024},
        {"right-justified", "    100", 100},
        {"left-justified", "100    ", 100},
        {"negative", "  -5", -5},
        {"explicit plus", "+7", 7},
        {"blanks inside are ignored", " 1 2 ", 12},
        {"blank between sign and digits", "- 5", -5},
        {"all blank is zero", "    ", 0},
        {"empty is zero", "", 0},
        {"leading zeros", "0007", 7},
        {"largest 64-bit value", "9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"smallest 64-bit value", "-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"beyond 64 bits", "9223372036854775808", std::nullopt},
        {"decimal point", "1.5", std::nullopt},
        {"letters", "12a", std::nullopt},
        {"asterisks", "****", std::nullopt},
        {"sign alone", "-", std::nullopt},
        {"sign after the digits", "5-", std::nullopt},
        {"two signs", "+-5", std::nullopt},
        {"exponent", "1E2", std::nullopt},
        {"tab", "\t5", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::read_int(c.field), c.value);
    }
}

GTEST_TEST(ReadReal, ReadsImpliedDecimalsPointsAndExponents) {
    struct Case {
        const char* what;
        const char* field;
        int decimals;
        double value;
    };
    const Case cases[] = {
        {"no point: last three digits are the fraction", "    200", 3, 0.2},
        {"point overrides the implied decimals", "200.000", 3, 200.0},
        {"leading blank", " 17.700", 3, 17.7},
        {"all blank is zero", "       ", 3, 0.0},
        {"no point, two implied decimals", "12345", 2, 123.45},
        {"negative without point", "-200", 3, -0.2},
        {"F10.0 of a dialog field", "200.0     ", 0, 200.0},
        {"whole number in F10.0", "768", 0, 768.0},
        {"point first", ".5", 3, 0.5},
        {"point last", "5.", 3, 5.0},
        {"blanks inside are ignored", "-1 7.7", 0, -17.7},
        {"exponent with E", "1.5E2", 0, 150.0},
        {"exponent with lower-case e and sign", "1.5e+02", 0, 150.0},
        {"exponent with D", "1.5D2", 0, 150.0},
        {"exponent as a bare sign", "1.5+2", 0, 150.0},
        {"negative bare exponent", "1.5-2", 0, 0.015},
        {"exponent with implied decimals", "15E1", 1, 15.0},
        {"point overrides decimals with an exponent", "1.5E2", 3, 150.0},
        {"zero with many digits", "-000.000", 3, 0.0},
        {"below double range reads as zero", "1E-400", 0, 0.0},
        {"average time as logged", "   1.23", 0, 1.23},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto value = textio::read_real(c.field, c.decimals);
        ASSERT_TRUE(value.has_value());
        EXPECT_DOUBLE_EQ(*value, c.value);
    }
}

GTEST_TEST(ReadReal, RejectsFieldsThatAreNotNumbers) {
    struct Case {
        const char* what;
        const char* field;
    };
    constexpr Case cases[] = {
        {"letters", "abc"},
        {"letter after digits", "12x"},
        {"asterisks of an overflowed field", "*******"},
        {"second point", "1.2.3"},
        {"comma", "1,5"},
        {"sign alone", "-"},
        {"point alone", "."},
        {"exponent without digits", "1.5E"},
        {"exponent sign without digits", "1.5E+"},
        {"exponent without mantissa", "E5"},
        {"two exponent signs", "1.5E+-2"},
        {"point in the exponent", "1.5E2.0"},
        {"second exponent", "1.5E2E3"},
        {"logged not-a-number", "    NaN"},
        {"beyond double range", "1E400"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(textio::read_real(c.field, 3), std::nullopt);
    }
}

GTEST_TEST(ReadReal, ReadsBackWhatFormatFixedWrote) {
    // What the parameter file and the log write must come back as the same single-precision
    // value when the value has no more decimals than its field.
    struct Case {
        const char* what;
        float value;
        int width;
        int decimals;
    };
    constexpr Case cases[] = {
        {"default distance", 200.0f, 7, 3},
        {"default diagonal", 17.7f, 7, 3},
        {"default time", 50.0f, 7, 3},
        {"small distance", 0.2f, 7, 3},
        {"largest F7.3 value", 999.999f, 7, 3},
        {"acuity", 0.8f, 4, 2},
        {"negative", -12.5f, 6, 2},
        {"average time", 1.23f, 8, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = textio::format_fixed(c.value, c.width, c.decimals);
        const auto value = textio::read_real(text, c.decimals);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(static_cast<float>(*value), c.value) << text;
    }
}

}  // namespace

namespace {

GTEST_TEST(ReadInt32AndFloat, RefuseValuesBeyondTheRangeOfTheirType) {
    struct IntCase {
        const char* field;
        std::optional<int32_t> value;
    };
    const IntCase integers[] = {
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"-2147483649", std::nullopt},
        {"  12 ", 12},
        {"1.5", std::nullopt},
    };
    for (const IntCase& c : integers) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(textio::read_int32(c.field), c.value);
    }

    struct RealCase {
        const char* field;
        int decimals;
        std::optional<float> value;
    };
    const RealCase reals[] = {
        {"3.40+38", 0, 3.4e38f},      {"-3.40+38", 0, -3.4e38f}, {"3.5+38", 0, std::nullopt},
        {"-1.0+39", 0, std::nullopt}, {"1+99", 0, std::nullopt}, {"    200", 3, 0.2f},
        {"1e-60", 0, 0.0f},           {"abc", 0, std::nullopt},
    };
    for (const RealCase& c : reals) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(textio::read_float(c.field, c.decimals), c.value);
    }
}

}  // namespace
