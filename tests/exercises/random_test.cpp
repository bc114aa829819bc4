#include "exercises/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/headless/headless_platform.h"

namespace {

using exercises::FNN;
using exercises::FNN0;
using exercises::RAN;
using exercises::RAN11;
using exercises::RAN11IN;
using exercises::RAN2;
using exercises::RAN2IN;

// The first values of both generators from their initial state, as the nearest floats.
constexpr float k_first_values[] = {9.50706908e-06f, 0.159785315f, 0.511795819f,
                                    0.752331138f,    0.429196775f, 0.510262489f};

class RandomTest : public ::testing::Test {
  protected:
    RandomTest() { exercises::reset_generators(); }
    ~RandomTest() override { exercises::reset_generators(); }
};

GTEST_TEST_F(RandomTest, BothGeneratorsStartWithTheKnownSequenceEachOnItsOwnState) {
    // Alternating calls: neither generator advances the other, so both give the same values.
    for (std::size_t i = 0; i < std::size(k_first_values); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(RAN11(), k_first_values[i]);
        EXPECT_EQ(RAN2(), k_first_values[i]);
    }
}

GTEST_TEST_F(RandomTest, EachRestartRepeatsOnlyItsOwnGeneratorFromTheStart) {
    for (int i = 0; i < 3; ++i) {
        RAN11();
        RAN2();
    }

    RAN11IN();
    EXPECT_EQ(RAN11(), k_first_values[0]);
    EXPECT_EQ(RAN2(), k_first_values[3]);

    RAN2IN();
    EXPECT_EQ(RAN2(), k_first_values[0]);
    EXPECT_EQ(RAN11(), k_first_values[1]);

    // FNN0 restarts RAN2, the source of RAN, and leaves RAN11 alone.
    FNN0();
    EXPECT_EQ(RAN2(), k_first_values[0]);
    EXPECT_EQ(RAN11(), k_first_values[2]);
}

GTEST_TEST_F(RandomTest, ValuesStayInTheUnitInterval) {
    for (int i = 0; i < 200000; ++i) {
        const float value = RAN11();
        ASSERT_GE(value, 0.0f) << "draw " << i;
        ASSERT_LE(value, 1.0f) << "draw " << i;
    }
}

GTEST_TEST_F(RandomTest, FirstCallOfRanSkipsHundredthsTimesSecondsValuesOfRan2) {
    struct Case {
        const char* what;
        gfx::LocalTime time;
        int skipped;
    };
    const Case cases[] = {
        {"13 hundredths at second 7 skip 91 values", {10, 20, 7, 13}, 91},
        {"the largest skip, 99 hundredths at second 59", {23, 59, 59, 99}, 5841},
        {"a whole second skips nothing", {10, 20, 42, 0}, 0},
        {"second 0 skips nothing", {10, 20, 0, 57}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        exercises::reset_generators();
        std::vector<float> expected;
        for (int i = 0; i < c.skipped + 3; ++i) expected.push_back(RAN2());
        RAN2IN();

        gfx::HeadlessPlatform platform;
        platform.set_time(c.time);
        EXPECT_EQ(RAN(platform.canvas()), expected[c.skipped]);
        // Later calls take consecutive values whatever the time of day has become.
        platform.set_time({11, 0, 30, 50});
        EXPECT_EQ(RAN(platform.canvas()), expected[c.skipped + 1]);
        EXPECT_EQ(RAN(platform.canvas()), expected[c.skipped + 2]);
        // RAN draws only from RAN2.
        EXPECT_EQ(RAN11(), k_first_values[0]);
    }
}

GTEST_TEST_F(RandomTest, FnnRejectsAFirstValueBelowOneTenThousandthBeforeDrawingTheSecond) {
    // The first RAN11 value, 9.5e-6, is rejected: FNN uses the second and third values and so
    // consumes three values in all.
    const double u1 = k_first_values[1];
    const double u2 = k_first_values[2];
    const double expected = std::sqrt(-2.0 * std::log(u1)) * std::sin(6.283 * u2);
    EXPECT_NEAR(FNN(), expected, 1e-5);
    EXPECT_EQ(RAN11(), k_first_values[3]);
}

GTEST_TEST_F(RandomTest, FnnIsComputedInSinglePrecisionBitForBit) {
    // ln, square root, the product 6.283 × u2, the sine and the last product each rounded to
    // single precision. Computed in double and rounded once, the third, fourth and sixth to
    // eighth values differ in their last bits.
    constexpr float expected[] = {
        -0x1.220fep-3f, 0x1.4c81c4p-2f,  -0x1.0e9b5p-3f, 0x1.49c82ep+0f,
        0x1.77624cp+0f, -0x1.ed41e4p-3f, 0x1.946bd2p+0f, -0x1.306f48p+0f,
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(FNN(), expected[i]);
    }
}

GTEST_TEST_F(RandomTest, FnnIsBoundedAndNormallyDistributed) {
    constexpr int k_draws = 200000;
    double sum = 0;
    double sum_of_squares = 0;
    for (int i = 0; i < k_draws; ++i) {
        const float value = FNN();
        ASSERT_TRUE(std::isfinite(value)) << "draw " << i;
        ASSERT_LT(std::fabs(value), 4.292f) << "draw " << i;
        sum += value;
        sum_of_squares += static_cast<double>(value) * value;
    }
    const double mean = sum / k_draws;
    EXPECT_NEAR(mean, 0.0, 0.01);
    EXPECT_NEAR(sum_of_squares / k_draws - mean * mean, 1.0, 0.02);
}

}  // namespace
