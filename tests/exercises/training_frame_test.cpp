#include "exercises/training_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/figure_file.h"
#include "exercises/random.h"
#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using exercises::FigurePlacement;
using exercises::FrameDrawer;
using gfx::Colour;
using gfx::HeadlessPlatform;
using state::FigureTables;

constexpr Colour k_grey = 0x808080;
// What the window shows before a frame is drawn over it.
constexpr Colour k_previous = 0x3366CC;

using testing_support::default_figures;
using testing_support::figure_of;

// The window as the frame's rules say it must look, worked out pixel by pixel from the
// previous window: on the image path the stimulus area (rows 20 on) is first black; the field
// covers columns 1 to the last whole cell on rows 20 on; then the figure's blocks, point by
// point, clipped to the window, and on the image path to the stimulus area.
std::vector<Colour> expected_frame(int K, int width, int height, const FigureTables& figures,
                                   int xoff, bool image_path) {
    std::vector<Colour> picture(static_cast<std::size_t>(width) * height, k_previous);
    const auto at = [&](int64_t x, int64_t y) -> Colour& { return picture[y * width + x]; };
    const int covered = std::min(width / K * K, width - 1);
    for (int y = 20; y < height; ++y) {
        if (image_path) {
            for (int x = 0; x < width; ++x) at(x, y) = gfx::k_black;
        }
        for (int x = 1; x <= covered; ++x) {
            const int cell = (x - 1) / K + 1;
            at(x, y) = (cell + y) % 2 != 0 ? gfx::k_white : gfx::k_black;
        }
    }
    for (int point = 1; point <= figures.count(K); ++point) {
        for (int across = 1; across <= 2 * K; ++across) {
            for (int down = 1; down <= 2 * K; ++down) {
                const int64_t x = figures.column(point, K) + xoff + across;
                const int64_t y = figures.row(point, K) + down;
                if (x < 0 || x >= width || y < (image_path ? 20 : 0) || y >= height) continue;
                at(x, y) = (across <= K) == (down <= K) ? gfx::k_white : gfx::k_black;
            }
        }
    }
    return picture;
}

::testing::AssertionResult same_pictures(const std::vector<Colour>& actual,
                                         const std::vector<Colour>& expected, int width) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "sizes " << actual.size() << " and " << expected.size();
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i] && differing++ == 0) first = i;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at x " << first % width << ", y "
           << first / width << ": " << std::hex << actual[first] << " instead of "
           << expected[first];
}

class TrainingFrameTest : public ::testing::Test {
  protected:
    TrainingFrameTest() { testing_support::reset_program_state(); }
    ~TrainingFrameTest() override { testing_support::reset_program_state(); }

    // Opens unit 1 with the given size, all k_previous.
    void open_window(int width, int height) {
        testing_support::open_trainer(platform,
                                      {static_cast<int16_t>(width), static_cast<int16_t>(height)});
        platform.canvas().set_colour(k_previous);
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, static_cast<int16_t>(width - 1),
                                    static_cast<int16_t>(height - 1));
        this->width = width;
        this->height = height;
    }

    std::vector<Colour> window() const {
        std::vector<Colour> pixels;
        platform.canvas().surface(1)->read([&](const uint32_t* stored, int w, int h) {
            for (int i = 0; i < w * h; ++i) pixels.push_back(gfx::from_stored(stored[i]));
        });
        return pixels;
    }

    HeadlessPlatform platform;
    int width = 0;
    int height = 0;
};

GTEST_TEST_F(TrainingFrameTest, BothPathsDrawTheSameFieldAndFigureForEverySizeAndSide) {
    struct Window {
        const char* what;
        int width;
        int height;
        bool image_path;
    };
    const Window windows[] = {
        {"980 x 650, image path", 980, 650, true},
        {"980 x 651, direct path", 980, 651, false},
        {"733 x 451, direct path, right figures partly outside", 733, 451, false},
    };
    for (const Window& w : windows) {
        for (int K = 1; K <= 9; ++K) {
            for (const bool right : {false, true}) {
                SCOPED_TRACE(std::string(w.what) + ", K " + std::to_string(K) +
                             (right ? ", right" : ", left"));
                open_window(w.width, w.height);
                FrameDrawer frames(platform.canvas(), static_cast<int16_t>(w.width),
                                   static_cast<int16_t>(w.height));
                EXPECT_EQ(frames.image_path(), w.image_path);
                exercises::reset_generators();
                // The third value of the sequence, 0.51, places on the right.
                if (right) {
                    exercises::RAN11();
                    exercises::RAN11();
                }
                const int64_t start = platform.now_ms();
                const std::optional<FigurePlacement> placement = frames.draw(K, default_figures());
                ASSERT_TRUE(placement.has_value());
                EXPECT_EQ(placement->right, right);
                // Only the image path shows a second of grey first.
                EXPECT_EQ(platform.now_ms() - start, w.image_path ? 1000 : 0);
                EXPECT_TRUE(same_pictures(window(),
                                          expected_frame(K, w.width, w.height, default_figures(),
                                                         placement->xoff, w.image_path),
                                          w.width));
            }
        }
    }
}

GTEST_TEST_F(TrainingFrameTest, FigurePixelsAboveTheStimulusAreaShowOnlyOnTheDirectPath) {
    // A point at row offset 10 covers rows 11 to 18 with K 4: over the signal bar.
    const FigureTables figures = figure_of(4, {{10, 100}, {300, 100}});
    for (const bool image_path : {true, false}) {
        SCOPED_TRACE(image_path ? "image path" : "direct path");
        open_window(980, image_path ? 650 : 640);
        FrameDrawer frames(platform.canvas(), 980, static_cast<int16_t>(height));
        exercises::reset_generators();
        const std::optional<FigurePlacement> placement = frames.draw(4, figures);
        ASSERT_TRUE(placement.has_value());
        EXPECT_TRUE(same_pictures(
            window(), expected_frame(4, 980, height, figures, placement->xoff, image_path), 980));
        // The top-left quarter of the high block is white on the direct path only.
        EXPECT_EQ(platform.pixel(placement->xoff + 101, 11),
                  image_path ? k_previous : gfx::k_white);
    }
}

GTEST_TEST_F(TrainingFrameTest, BlocksAcrossTheLeftAndRightEdgesAreCutAtTheEdge) {
    // With K 2 a block covers columns offset + xoff + 1 to + 4. On either side two of these
    // points straddle an edge (columns -1 to 2, and 978 to 981) and the other two lie off the
    // window. A pixel past the last column must not show at the start of the next row, nor one
    // before column 0 at the end of the row above.
    const FigureTables figures = figure_of(2, {{100, 527}, {200, -452}, {300, 957}, {400, -22}});
    for (const bool image_path : {true, false}) {
        for (const bool right : {false, true}) {
            SCOPED_TRACE(std::string(image_path ? "image path" : "direct path") +
                         (right ? ", right" : ", left"));
            open_window(980, image_path ? 650 : 640);
            FrameDrawer frames(platform.canvas(), 980, static_cast<int16_t>(height));
            ASSERT_EQ(frames.image_path(), image_path);
            exercises::reset_generators();
            if (right) {
                exercises::RAN11();
                exercises::RAN11();
            }
            const std::optional<FigurePlacement> placement = frames.draw(2, figures);
            ASSERT_TRUE(placement.has_value());
            ASSERT_EQ(placement->xoff, right ? 450 : 20);
            EXPECT_TRUE(same_pictures(
                window(), expected_frame(2, 980, height, figures, placement->xoff, image_path),
                980));
            // The top-left white quarter of the block at the edge reaches the edge column.
            EXPECT_EQ(right ? platform.pixel(979, 102) : platform.pixel(0, 401), 0xFFFFFFu);
        }
    }
}

GTEST_TEST_F(TrainingFrameTest, GreyBlankKeepsTheBarsAndTheTopRowOfTheLastFrame) {
    open_window(980, 650);
    FrameDrawer frames(platform.canvas(), 980, 650);
    std::vector<Colour> seen;
    platform.set_user([&](HeadlessPlatform& s) {
        if (s.now_ms() != 500) return;
        for (const int y : {0, 19, 20, 21, 649}) seen.push_back(s.pixel(300, y));
    });
    ASSERT_TRUE(frames.draw(4, default_figures()).has_value());
    const std::vector<Colour> expected = {k_previous, k_previous, k_previous, k_grey, k_grey};
    EXPECT_EQ(seen, expected);
}

GTEST_TEST_F(TrainingFrameTest, BothButtonsAbandonTheFrameWhereItStands) {
    struct Case {
        const char* what;
        int height;           // 650: image path
        int64_t press_at_ms;  // 0: MBUTTON is 3 before the frame starts
        Colour row_20;        // what rows 20 and 21 show afterwards
        Colour row_21;
    };
    const Case cases[] = {
        {"image path, both buttons during the grey second: stays grey", 650, 400, k_previous,
         k_grey},
        {"image path, both buttons held from the start", 650, 0, k_previous, k_grey},
        {"direct path: stops after the first field row", 640, 0, gfx::k_black, k_previous},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state::start_run();
        exercises::reset_generators();
        open_window(980, c.height);
        FrameDrawer frames(platform.canvas(), 980, static_cast<int16_t>(c.height));
        const int64_t start = platform.now_ms();
        if (c.press_at_ms == 0) state::store(state::run().MBUTTON, 3);
        platform.set_user([&](HeadlessPlatform& s) {
            if (s.now_ms() == start + c.press_at_ms) state::store(state::run().MBUTTON, 3);
        });
        EXPECT_FALSE(frames.draw(4, default_figures()).has_value());
        // Column 5 lies in cell 2, black on row 20.
        EXPECT_EQ(platform.pixel(5, 20), c.row_20);
        EXPECT_EQ(platform.pixel(5, 21), c.row_21);
        // The side is drawn only once the field is complete.
        EXPECT_LT(exercises::RAN11(), 1e-5f);
        platform.set_user({});
    }
    state::start_run();
}

// The twin with a look at the window after every drawing call, so a test can act between two
// figure points, where nothing pauses.
class WatchedPlatform : public HeadlessPlatform {
  public:
    std::function<void(WatchedPlatform&)> after_drawing;

  protected:
    void present(int unit) override {
        HeadlessPlatform::present(unit);
        if (after_drawing) after_drawing(*this);
    }
};

GTEST_TEST(TrainingFrameAbandon, BothButtonsAfterAFigurePointStopTheDirectPathThere) {
    testing_support::reset_program_state();
    // Two blocks of K 2 above the stimulus area, in rows 1 to 4, which only the figure
    // draws: the first point's block ends with its bottom-right pixel, white.
    const FigureTables figures = figure_of(2, {{0, 100}, {0, 200}});
    WatchedPlatform platform;
    testing_support::open_trainer(platform, {980, 640});
    platform.canvas().set_colour(k_previous);
    platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 639);
    FrameDrawer frames(platform.canvas(), 980, 640);
    ASSERT_FALSE(frames.image_path());
    exercises::reset_generators();
    const int xoff = 20;  // the first side of the sequence is the left
    platform.after_drawing = [&](WatchedPlatform& s) {
        if (s.pixel(xoff + 100 + 4, 4) == 0xFFFFFFu) state::store(state::run().MBUTTON, 3);
    };
    EXPECT_FALSE(frames.draw(2, figures).has_value());
    platform.after_drawing = nullptr;
    EXPECT_EQ(platform.pixel(xoff + 100 + 1, 1), 0xFFFFFFu) << "the first block is drawn";
    EXPECT_EQ(platform.pixel(xoff + 200 + 1, 1), k_previous) << "the second is not";
    EXPECT_EQ(platform.pixel(xoff + 200 + 4, 4), k_previous);
    testing_support::reset_program_state();
}

}  // namespace
