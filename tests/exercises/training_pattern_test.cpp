#include "exercises/training_pattern.h"

#include <gtest/gtest.h>

#include "exercises/random.h"

namespace {

class FigurePlacementTest : public ::testing::Test {
  protected:
    FigurePlacementTest() { exercises::reset_generators(); }
    ~FigurePlacementTest() override { exercises::reset_generators(); }
};

GTEST_TEST_F(FigurePlacementTest, EachPresentationDrawsOneSideRoundedDownToTheSize) {
    // Left and right offsets of figure K, K = 1..9: 20 and 450 rounded down to a multiple of K.
    constexpr int32_t left[] = {20, 20, 18, 20, 20, 18, 14, 16, 18};
    constexpr int32_t right[] = {450, 450, 450, 448, 450, 450, 448, 448, 450};
    // The sequence starts 9.5e-6, 0.16, 0.51, 0.75, 0.43, 0.51.
    constexpr bool sides[] = {false, false, true, true, false, true};
    for (int32_t K = 1; K <= 9; ++K) {
        SCOPED_TRACE("K " + std::to_string(K));
        exercises::reset_generators();
        for (const bool on_right : sides) {
            const exercises::FigurePlacement placement = exercises::place_figure(K);
            EXPECT_EQ(placement.right, on_right);
            EXPECT_EQ(placement.xoff, on_right ? right[K - 1] : left[K - 1]);
        }
    }
}

GTEST_TEST_F(FigurePlacementTest, SizesBelowOneDrawNothingInsteadOfDividingByZero) {
    int calls = 0;
    exercises::for_each_field_run(0, 980, 20, [&](int32_t, int32_t, bool) { ++calls; });
    state::FigureTables figures;
    figures.count(1) = 1;
    exercises::for_each_figure_pixel(
        figures, 0, 0, [&](int64_t, int64_t, bool) { ++calls; }, [] { return true; });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(exercises::place_figure(0).xoff, 0);
}

}  // namespace
