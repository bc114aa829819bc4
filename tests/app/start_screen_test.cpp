#include "app/start_screen.h"

#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/figure_file.h"
#include "exercises/picture_writer.h"
#include "exercises/random.h"
#include "gfx/headless/headless_platform.h"
#include "golden_picture.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using app::PollPoint;
using gfx::Colour;
using gfx::HeadlessPlatform;
using state::FigureTables;

constexpr Colour k_grey = 0x808080;
// What a window shows before a picture is drawn directly over it.
constexpr Colour k_previous = 0x3366CC;
constexpr int k_full_width = 980;
constexpr int k_full_height = 650;

// Left and right offsets of figure S, S = 2..9.
constexpr int k_left_offset[] = {0, 0, 20, 18, 20, 20, 18, 14, 16, 18};
constexpr int k_right_offset[] = {0, 0, 450, 450, 448, 450, 450, 448, 448, 450};

enum class Mode { image, direct };

const char* name(Mode mode) {
    return mode == Mode::image ? "image mode" : "direct mode";
}

const char* name(PollPoint point) {
    switch (point) {
        case PollPoint::image_row:
            return "image_row";
        case PollPoint::image_background:
            return "image_background";
        case PollPoint::direct_row:
            return "direct_row";
        case PollPoint::image_figure:
            return "image_figure";
        case PollPoint::direct_point:
            return "direct_point";
    }
    return "?";
}

using testing_support::default_figures;
using testing_support::figure_of;

// The window as the pattern's rules say it must look: `outside` where the pattern does not
// reach (the previous window in direct mode, black in image mode), then the background, then
// the figure's blocks point by point, all clipped to the window.
std::vector<Colour> expected_picture(int S, int width, int height, const FigureTables& figures,
                                     int XOFF, std::vector<Colour> outside) {
    std::vector<Colour> picture = std::move(outside);
    const int covered = std::min(width / S * S, width - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 1; x <= covered; ++x) {
            const int K = (x - 1) / S + 1;
            picture[y * width + x] = (K + y) % 2 != 0 ? gfx::k_white : gfx::k_black;
        }
    }
    const int points = std::clamp(figures.count(S), 0, state::k_max_points);
    for (int P = 1; P <= points; ++P) {
        const int64_t R = figures.row(P, S);
        const int64_t C = figures.column(P, S);
        for (int i = 1; i <= 2 * S; ++i) {
            for (int j = 1; j <= 2 * S; ++j) {
                const int64_t x = C + XOFF + i;
                const int64_t y = R + j;
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                const bool white = (i <= S) == (j <= S);
                picture[y * width + x] = white ? gfx::k_white : gfx::k_black;
            }
        }
    }
    return picture;
}

class StartScreenTest : public ::testing::Test {
  protected:
    StartScreenTest() : KADRDIM(exercises::k_image_buffer_size) {
        testing_support::reset_program_state();
    }
    ~StartScreenTest() override { testing_support::reset_program_state(); }

    // Opens unit 1 with the given size, filled with k_previous, and records the size.
    void open_window(int width, int height) {
        platform.canvas().open_child(1, "Trainer for eyes");
        gfx::WindowConfig config{
            static_cast<int16_t>(width), static_cast<int16_t>(height), -1, -1, -1, -1};
        ASSERT_TRUE(platform.canvas().set_window_config(config));
        state::run().NXW = static_cast<int16_t>(width);
        state::run().NYW = static_cast<int16_t>(height);
        platform.canvas().set_colour(k_previous);
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, static_cast<int16_t>(width - 1),
                                    static_cast<int16_t>(height - 1));
    }

    // Opens a window drawn in `mode`: the full 980 × 650 window for image mode, a 300 × 200
    // one for direct mode.
    void open_window(Mode mode) {
        if (mode == Mode::image) {
            open_window(k_full_width, k_full_height);
        } else {
            open_window(300, 200);
        }
    }

    bool draw(int S, const FigureTables& figures, const app::PollCallback& poll = never_abandon) {
        return app::draw_start_picture(platform.canvas(), S, figures, NSHOWN, KADRDIM, poll);
    }

    // Draws with the random sequence restarted, so the figure goes to the left.
    bool draw_left(int S, const FigureTables& figures,
                   const app::PollCallback& poll = never_abandon) {
        exercises::reset_generators();
        return draw(S, figures, poll);
    }

    std::vector<Colour> window() const {
        std::vector<Colour> pixels;
        platform.canvas().surface(1)->read([&](const uint32_t* stored, int width, int height) {
            pixels.reserve(static_cast<std::size_t>(width) * height);
            for (int i = 0; i < width * height; ++i) pixels.push_back(gfx::from_stored(stored[i]));
        });
        return pixels;
    }

    // What the pattern leaves alone: black in image mode, the previous window in direct mode.
    std::vector<Colour> untouched(Mode mode) const {
        const std::size_t size = static_cast<std::size_t>(state::run().NXW) * state::run().NYW;
        return std::vector<Colour>(size, mode == Mode::image ? gfx::k_black : k_previous);
    }

    static bool never_abandon(PollPoint) { return false; }

    HeadlessPlatform platform;
    std::vector<std::byte> KADRDIM;
    int32_t NSHOWN = 0;
};

// Where the two pictures differ, for a readable failure.
::testing::AssertionResult same_pictures(const std::vector<Colour>& actual,
                                         const std::vector<Colour>& expected, int width) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "sizes " << actual.size() << " and " << expected.size();
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at x " << first % width << ", y "
           << first / width << ": " << std::hex << actual[first] << " instead of "
           << expected[first];
}

bool all_grey(const std::vector<Colour>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [](Colour c) { return c == k_grey; });
}

// ---- mode choice and the pattern

GTEST_TEST_F(StartScreenTest, OnlyTheFullWindowIsComposedAsAnImage) {
    struct Case {
        const char* what;
        int width;
        int height;
        bool image;
    };
    const Case cases[] = {
        {"980 x 650", 980, 650, true},     {"one column less", 979, 650, false},
        {"one row less", 980, 649, false}, {"wider", 981, 650, false},
        {"small", 300, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open_window(c.width, c.height);
        const int64_t start = platform.now_ms();
        std::vector<PollPoint> seen;
        draw_left(3, default_figures(), [&](PollPoint point) {
            seen.push_back(point);
            return false;
        });
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front() == PollPoint::image_row, c.image);
        // Only image mode shows a second of grey first.
        EXPECT_EQ(platform.now_ms() - start, c.image ? 1000 : 0);
        // Column 0 is outside the pattern: black from the cleared image, or left as it was.
        EXPECT_EQ(platform.pixel(0, 0), c.image ? gfx::k_black : k_previous);
    }
}

GTEST_TEST_F(StartScreenTest, PictureFollowsThePatternInBothModesForEverySizeAndSide) {
    struct Window {
        const char* what;
        int width;
        int height;
        bool short_buffer;  // a buffer too small for the window's image forces direct mode
        Mode mode;
    };
    const Window windows[] = {
        {"980 x 650, image mode", k_full_width, k_full_height, false, Mode::image},
        {"980 x 650 with a short buffer, direct mode", k_full_width, k_full_height, true,
         Mode::direct},
        {"733 x 451, direct mode", 733, 451, false, Mode::direct},
    };
    for (const Window& w : windows) {
        KADRDIM.assign(w.short_buffer ? exercises::k_full_window_image_size - 1
                                      : exercises::k_image_buffer_size,
                       std::byte{0});
        for (int S = 2; S <= 9; ++S) {
            for (const bool right : {false, true}) {
                SCOPED_TRACE(std::string(w.what) + ", S " + std::to_string(S) +
                             (right ? ", right" : ", left"));
                open_window(w.width, w.height);
                exercises::reset_generators();
                // The third value of the sequence, 0.51, places on the right.
                if (right) {
                    exercises::RAN11();
                    exercises::RAN11();
                }
                ASSERT_TRUE(draw(S, default_figures()));
                const int XOFF = right ? k_right_offset[S] : k_left_offset[S];
                EXPECT_TRUE(same_pictures(window(),
                                          expected_picture(S, w.width, w.height, default_figures(),
                                                           XOFF, untouched(w.mode)),
                                          w.width));
                EXPECT_EQ(NSHOWN, S);
            }
        }
    }
}

GTEST_TEST_F(StartScreenTest, BackgroundEdgesAsTheUserSeesThem) {
    struct Case {
        const char* what;
        Mode mode;
        int S;
        int x;
        int y;
        Colour colour;
    };
    const Case cases[] = {
        {"direct S 2: column 0 is not drawn", Mode::direct, 2, 0, 0, k_previous},
        {"direct S 2: row 0 starts white", Mode::direct, 2, 1, 0, gfx::k_white},
        {"direct S 2: row 0, end of the first stripe", Mode::direct, 2, 2, 0, gfx::k_white},
        {"direct S 2: row 0, second stripe black", Mode::direct, 2, 3, 0, gfx::k_black},
        {"direct S 2: row 0, second stripe black", Mode::direct, 2, 4, 0, gfx::k_black},
        {"direct S 2: row 1 starts black", Mode::direct, 2, 1, 1, gfx::k_black},
        {"direct S 2: row 1, second stripe white", Mode::direct, 2, 3, 1, gfx::k_white},
        {"image S 2: column 0 black", Mode::image, 2, 0, 0, gfx::k_black},
        {"image S 2: row 0 starts white", Mode::image, 2, 1, 0, gfx::k_white},
        {"image S 2: row 0, second stripe black", Mode::image, 2, 4, 0, gfx::k_black},
        {"image S 2: row 1 starts black", Mode::image, 2, 2, 1, gfx::k_black},
        {"image S 2: last column, stripe 490 on row 0", Mode::image, 2, 979, 0, gfx::k_black},
        {"image S 8: last stripe ends at 976", Mode::image, 8, 976, 0, gfx::k_black},
        {"image S 8: 977 is black", Mode::image, 8, 977, 0, gfx::k_black},
        {"image S 8: 979 is black", Mode::image, 8, 979, 1, gfx::k_black},
        {"image S 8: row 1, last stripe white", Mode::image, 8, 976, 1, gfx::k_white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open_window(c.mode);
        draw_left(c.S, FigureTables{});
        EXPECT_EQ(platform.pixel(c.x, c.y), c.colour);
    }

    // Where S divides 980 the last run ends at x = 980, outside the window. It must not show,
    // in particular not at column 0 of a neighbouring row.
    for (const int S : {2, 4, 5, 7}) {
        SCOPED_TRACE("S " + std::to_string(S));
        open_window(Mode::image);
        draw_left(S, FigureTables{});
        for (int y = 0; y < k_full_height; ++y) {
            ASSERT_EQ(platform.pixel(0, y), gfx::k_black) << "y " << y;
            ASSERT_EQ(platform.pixel(979, y),
                      (k_full_width / S + y) % 2 != 0 ? gfx::k_white : gfx::k_black)
                << "y " << y;
        }
    }

    // S 8 on a direct window of 980 columns: the stripes end at 976, and the columns after
    // them keep what the window showed.
    open_window(k_full_width, 20);
    draw_left(8, FigureTables{});
    for (int y = 0; y < 20; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(platform.pixel(0, y), k_previous);
        EXPECT_EQ(platform.pixel(976, y), y % 2 != 0 ? gfx::k_white : gfx::k_black);
        for (int x = 977; x < k_full_width; ++x) EXPECT_EQ(platform.pixel(x, y), k_previous);
    }
}

GTEST_TEST_F(StartScreenTest, PointBlocksAreCheckeredAndLaterPointsWin) {
    for (const Mode mode : {Mode::image, Mode::direct}) {
        for (int S = 2; S <= 9; ++S) {
            SCOPED_TRACE(std::string(name(mode)) + ", S " + std::to_string(S));
            open_window(mode);
            // The second block overlaps the right half of the first.
            draw_left(S, figure_of(S, {{0, 0}, {0, S}}));
            const int XOFF = k_left_offset[S];
            // The first block's left half: rows 1..2S, white over black.
            for (int j = 1; j <= 2 * S; ++j) {
                for (int i = 1; i <= S; ++i) {
                    EXPECT_EQ(platform.pixel(XOFF + i, j), j <= S ? gfx::k_white : gfx::k_black)
                        << "i " << i << ", j " << j;
                }
            }
            // The second block: white at its top left, where the first block was black.
            for (int j = 1; j <= 2 * S; ++j) {
                for (int i = 1; i <= 2 * S; ++i) {
                    const bool white = (i <= S) == (j <= S);
                    EXPECT_EQ(platform.pixel(XOFF + S + i, j), white ? gfx::k_white : gfx::k_black)
                        << "i " << i << ", j " << j;
                }
            }
            // Row 0 and row 2S + 1 are background again: one of each pair of neighbours
            // differs from the block's edge colour on a grating row.
            const int x = XOFF + 1;
            const int K = (x - 1) / S + 1;
            EXPECT_EQ(platform.pixel(x, 0), K % 2 != 0 ? gfx::k_white : gfx::k_black);
            EXPECT_EQ(platform.pixel(x, 2 * S + 1),
                      (K + 2 * S + 1) % 2 != 0 ? gfx::k_white : gfx::k_black);
        }
    }
}

// ---- placement

GTEST_TEST_F(StartScreenTest, FigureOffsetIsTheSideRoundedDownToAMultipleOfTheSize) {
    for (int S = 2; S <= 9; ++S) {
        SCOPED_TRACE("S " + std::to_string(S));
        // The sequence starts 9.5e-6, 0.16, 0.51, 0.75, 0.43, 0.51: left, left, right, right,
        // left, right; each offset draws exactly one value.
        exercises::reset_generators();
        const int expected[] = {k_left_offset[S],  k_left_offset[S], k_right_offset[S],
                                k_right_offset[S], k_left_offset[S], k_right_offset[S]};
        for (std::size_t call = 0; call < std::size(expected); ++call) {
            SCOPED_TRACE("call " + std::to_string(call + 1));
            const int XOFF = app::figure_offset(S);
            EXPECT_EQ(XOFF, expected[call]);
            EXPECT_EQ(XOFF % S, 0);
        }
    }
}

GTEST_TEST_F(StartScreenTest, EachPictureDrawsOneRandomSide) {
    for (const Mode mode : {Mode::image, Mode::direct}) {
        SCOPED_TRACE(name(mode));
        open_window(mode);
        exercises::reset_generators();
        const int S = 2;
        const FigureTables figures = figure_of(S, {{0, 0}});
        // A block at row offset 0 covers window row 1 from XOFF + 1 on: white for S columns.
        for (const int XOFF : {k_left_offset[S], k_left_offset[S], k_right_offset[S]}) {
            if (mode == Mode::direct && XOFF >= 300) break;
            draw(S, figures);
            EXPECT_EQ(platform.pixel(XOFF + 1, 1), gfx::k_white) << "at " << XOFF;
            EXPECT_EQ(platform.pixel(XOFF + S + 1, 1), gfx::k_black) << "at " << XOFF;
        }
    }
}

// ---- image mode: grey, then the whole picture at once

GTEST_TEST_F(StartScreenTest, ImageModeShowsGreyForASecondThenTheWholePictureInOneStep) {
    open_window(Mode::image);
    const auto surface = platform.canvas().surface(1);
    int looks = 0;
    bool grey_at_first_look = false;
    uint64_t grey_generation = 0;
    bool unchanged_while_composing = true;
    platform.set_user([&](HeadlessPlatform& s) {
        if (looks++ == 0) {
            grey_at_first_look = all_grey(window());
            grey_generation = surface->generation();
        } else if (surface->generation() != grey_generation) {
            unchanged_while_composing = false;
        }
        (void)s;
    });

    std::vector<Colour> at_figure_check;
    int64_t picture_at_ms = -1;
    uint64_t generation_at_figure_check = 0;
    ASSERT_TRUE(draw_left(4, default_figures(), [&](PollPoint point) {
        if (point == PollPoint::image_figure) {
            picture_at_ms = platform.now_ms();
            generation_at_figure_check = surface->generation();
            at_figure_check = window();
        } else {
            // Give the user a look while the rows and the background are composed.
            platform.sleep_ms(1);
        }
        return false;
    }));

    EXPECT_TRUE(grey_at_first_look);
    EXPECT_TRUE(unchanged_while_composing);
    // 1000 ms of grey, then one look per composed row and one after the background.
    EXPECT_EQ(looks, 1000 + k_full_height + 1);
    EXPECT_EQ(picture_at_ms, 1000 + k_full_height + 1);
    // One operation replaced the grey with the finished picture.
    EXPECT_EQ(generation_at_figure_check, grey_generation + 1);
    EXPECT_TRUE(same_pictures(at_figure_check,
                              expected_picture(4, k_full_width, k_full_height, default_figures(),
                                               k_left_offset[4], untouched(Mode::image)),
                              k_full_width));
}

GTEST_TEST_F(StartScreenTest, ImageBufferHoldsExactlyThePictureAndNothingBeyondIt) {
    open_window(Mode::image);
    std::fill(KADRDIM.begin(), KADRDIM.end(), std::byte{0xAB});
    ASSERT_TRUE(draw_left(5, default_figures()));

    // Headers as the capture wrote them and pixels as the window shows them, fourth byte 0.
    std::vector<std::byte> captured(exercises::k_full_window_image_size);
    platform.canvas().get_image(0, 0, k_full_width - 1, k_full_height - 1, captured);
    EXPECT_TRUE(std::equal(captured.begin(), captured.end(), KADRDIM.begin()));
    EXPECT_TRUE(std::all_of(KADRDIM.begin() + exercises::k_full_window_image_size, KADRDIM.end(),
                            [](std::byte b) { return b == std::byte{0xAB}; }));
}

GTEST_TEST_F(StartScreenTest, GoldenPictureOfSizeFourOnTheLeft) {
    open_window(Mode::image);
    ASSERT_TRUE(draw_left(4, default_figures()));
    const std::vector<Colour> picture = window();

    EXPECT_TRUE(testing_support::matches_golden(
        picture, k_full_width, k_full_height,
        testing_support::golden_path("app", "start_screen_s4_left.png")));
}

// ---- poll points

GTEST_TEST_F(StartScreenTest, PollPointsFireInDrawingOrder) {
    const FigureTables figures = figure_of(3, {{10, 10}, {20, 20}, {30, 30}, {40, 40}});
    struct Case {
        Mode mode;
        std::vector<std::pair<PollPoint, int>> runs;  // consecutive polls of one kind
    };
    const Case cases[] = {
        {Mode::image,
         {{PollPoint::image_row, k_full_height},
          {PollPoint::image_background, 1},
          {PollPoint::image_figure, 1}}},
        {Mode::direct, {{PollPoint::direct_row, 200}, {PollPoint::direct_point, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(name(c.mode));
        open_window(c.mode);
        NSHOWN = 7;
        std::vector<std::pair<PollPoint, int>> runs;
        std::vector<int32_t> shown_at_first_poll;
        ASSERT_TRUE(draw_left(3, figures, [&](PollPoint point) {
            if (runs.empty() || runs.back().first != point) {
                runs.push_back({point, 0});
                shown_at_first_poll.push_back(NSHOWN);
            }
            ++runs.back().second;
            return false;
        }));
        EXPECT_EQ(runs, c.runs);
        // NSHOWN changes when the figure stage begins: not before, and before the figure's
        // first poll.
        ASSERT_EQ(shown_at_first_poll.size(), c.runs.size());
        for (std::size_t i = 0; i < c.runs.size(); ++i) {
            const bool figure_stage = c.runs[i].first == PollPoint::image_figure ||
                                      c.runs[i].first == PollPoint::direct_point;
            EXPECT_EQ(shown_at_first_poll[i], figure_stage ? 3 : 7) << name(c.runs[i].first);
        }
    }

    // An empty figure has no point polls.
    open_window(Mode::direct);
    int point_polls = 0;
    draw_left(3, FigureTables{}, [&](PollPoint point) {
        point_polls += point == PollPoint::direct_point;
        return false;
    });
    EXPECT_EQ(point_polls, 0);
}

GTEST_TEST_F(StartScreenTest, APollThatFiresAbandonsThePictureWhereItStands) {
    const int S = 3;
    const int XOFF = k_left_offset[S];
    // Four points side by side on rows 51..56.
    const FigureTables figures = figure_of(S, {{50, 0}, {50, 6}, {50, 12}, {50, 18}});
    const int first_block_x = XOFF + 1;  // white top-left square of point 1
    auto block_drawn = [&](HeadlessPlatform& s, int point) {
        const int x = first_block_x + 6 * (point - 1);
        // Rows 51 and 52 of the white square: the background would make one of them black.
        return s.pixel(x, 51) == gfx::k_white && s.pixel(x, 52) == gfx::k_white;
    };

    struct Case {
        const char* what;
        Mode mode;
        PollPoint point;
        int occurrence;  // the poll of that kind that fires, from 1
    };
    const Case cases[] = {
        {"image mode, first row", Mode::image, PollPoint::image_row, 1},
        {"image mode, last row", Mode::image, PollPoint::image_row, k_full_height},
        {"image mode, background", Mode::image, PollPoint::image_background, 1},
        {"image mode, figure", Mode::image, PollPoint::image_figure, 1},
        {"direct mode, row 10", Mode::direct, PollPoint::direct_row, 11},
        {"direct mode, last row", Mode::direct, PollPoint::direct_row, 200},
        {"direct mode, point 2", Mode::direct, PollPoint::direct_point, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open_window(c.mode);
        NSHOWN = 7;
        int seen = 0;
        std::vector<PollPoint> after;
        const bool complete = draw_left(S, figures, [&](PollPoint point) {
            if (seen >= c.occurrence) after.push_back(point);
            if (point == c.point && ++seen == c.occurrence) return true;
            return false;
        });
        EXPECT_FALSE(complete);
        EXPECT_TRUE(after.empty()) << "polled again after firing: " << name(after.front());

        switch (c.point) {
            case PollPoint::image_row:
            case PollPoint::image_background:
                EXPECT_TRUE(all_grey(window()));
                EXPECT_EQ(NSHOWN, 7);
                // The side is not drawn before the figure stage.
                EXPECT_EQ(exercises::RAN11(), 9.50706908e-06f);
                break;
            case PollPoint::image_figure:
                EXPECT_TRUE(same_pictures(window(),
                                          expected_picture(S, k_full_width, k_full_height, figures,
                                                           XOFF, untouched(Mode::image)),
                                          k_full_width));
                EXPECT_EQ(NSHOWN, S);
                break;
            case PollPoint::direct_row: {
                const int rows_drawn = c.occurrence;
                const int last_row = rows_drawn - 1;
                EXPECT_EQ(platform.pixel(1, last_row),
                          (1 + last_row) % 2 != 0 ? gfx::k_white : gfx::k_black);
                if (rows_drawn < 200) {
                    EXPECT_EQ(platform.pixel(1, rows_drawn), k_previous);
                }
                EXPECT_FALSE(block_drawn(platform, 1));
                EXPECT_EQ(NSHOWN, 7);
                break;
            }
            case PollPoint::direct_point:
                EXPECT_TRUE(block_drawn(platform, 1));
                EXPECT_TRUE(block_drawn(platform, 2));
                EXPECT_FALSE(block_drawn(platform, 3));
                EXPECT_FALSE(block_drawn(platform, 4));
                EXPECT_EQ(NSHOWN, S);
                break;
        }
    }
}

// ---- hostile figure data

GTEST_TEST_F(StartScreenTest, NoFigureDataWritesOutsideTheWindowOrTheImage) {
    constexpr int32_t k_max = std::numeric_limits<int32_t>::max();
    constexpr int32_t k_min = std::numeric_limits<int32_t>::min();
    const int S = 9;
    const int XOFF = k_left_offset[S];
    // Each block lies partly or wholly outside; none may show up anywhere else, whether by a
    // row wrapping into its neighbour, a coordinate wrapping through 16 or 32 bits, or an
    // index leaving the buffer.
    FigureTables figures =
        figure_of(S, {
                         {-5, -XOFF - 4},        // over the top-left corner
                         {100, -XOFF - 10},      // over the left edge
                         {200, 300 - XOFF - 8},  // over the small window's right edge
                         {200, 980 - XOFF - 8},  // over the full window's right edge
                         {640, 100},             // over the bottom edge
                         {195, 100},             // over the small window's bottom
                         {-18, 100},             // its last row is row 0
                         {-19, 200},             // just above the window
                         {649, 300},             // just below the full window
                         {300, 980 - XOFF - 1},  // just right of the full window
                         {300, -XOFF - 18},      // just left of the window
                         {65536 - 1, 65536 - XOFF + 3},
                         {-65536 + 2, -65536 - XOFF + 40},
                         {2'000'000'000, 2'000'000'000},
                         {-2'000'000'000, -2'000'000'000},
                         {k_max, k_max},
                         {k_min, k_min},
                         {k_max - 5, k_min},
                     });
    for (const bool huge_count : {false, true}) {
        // A count beyond the table walks only the points the table holds.
        if (huge_count) figures.count(S) = k_max;
        for (const Mode mode : {Mode::image, Mode::direct}) {
            SCOPED_TRACE(std::string(name(mode)) + (huge_count ? ", huge count" : ""));
            open_window(mode);
            std::fill(KADRDIM.begin(), KADRDIM.end(), std::byte{0xAB});
            ASSERT_TRUE(draw_left(S, figures));
            EXPECT_TRUE(same_pictures(window(),
                                      expected_picture(S, state::run().NXW, state::run().NYW,
                                                       figures, XOFF, untouched(mode)),
                                      state::run().NXW));
            const std::size_t image_end =
                mode == Mode::image ? exercises::k_full_window_image_size : 0;
            EXPECT_TRUE(std::all_of(KADRDIM.begin() + image_end, KADRDIM.end(),
                                    [](std::byte b) { return b == std::byte{0xAB}; }));
        }
    }
}

}  // namespace
