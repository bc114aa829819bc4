#include "results/progress_graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "gfx/surface.h"
#include "golden_picture.h"
#include "log_lines.h"
#include "plot/symbols.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using gfx::Colour;
using results::TimeStamp;
using results_test::log_text;
using results_test::sight_line;
using results_test::training_line;

constexpr int k_width = 980;
constexpr int k_height = 650;

constexpr Colour k_white = 0xFFFFFF;
constexpr Colour k_black = 0x000000;
constexpr Colour k_blue = 0xFF0000;     // colour 4: acuity, figure size
constexpr Colour k_green = 0x00B200;    // colour 3: presentations
constexpr Colour k_magenta = 0xFF00FF;  // colour 5: distance
constexpr Colour k_amber = 0x00B2E5;    // colour 2: average time
constexpr Colour k_pink = 0x7F00FF;     // colour 1: push-ups
constexpr Colour k_message = 0xDDAA00;

// The panels' pixel frames on the 980 by 650 page.
constexpr int k_left = 40, k_right = 937;
constexpr int k_upper_top = 35, k_upper_bottom = 252;
constexpr int k_lower_top = 287, k_lower_bottom = 612;

// Where the date labels stand: below the lower panel, left and right of the closing message.
struct Area {
    int left, top, right, bottom;
};
constexpr Area k_beginning_area{0, 613, 263, 649};
constexpr Area k_end_area{740, 613, 979, 649};

struct Picture {
    std::vector<Colour> pixels;
    Colour at(int x, int y) const { return pixels[static_cast<size_t>(y * k_width + x)]; }
    bool operator==(const Picture&) const = default;
};

std::vector<Colour> pixels_in(const Picture& picture, Area area) {
    std::vector<Colour> pixels;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) pixels.push_back(picture.at(x, y));
    }
    return pixels;
}

// White paper or the black frame and grid: no curve there.
bool is_background(Colour colour) {
    return colour == k_white || colour == k_black;
}

bool all_white(const Picture& picture, Area area) {
    for (const Colour colour : pixels_in(picture, area)) {
        if (colour != k_white) return false;
    }
    return true;
}

int count_colour(const Picture& picture, Area area, Colour colour) {
    int count = 0;
    for (const Colour c : pixels_in(picture, area)) count += c == colour ? 1 : 0;
    return count;
}

// Page 1 as the program opens it at start-up, a working folder for the log, and a user who
// presses a button as soon as the graph waits for it.
class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing_support::reset_program_state();
        open_page(canvas);
        canvas.set_user([](gfx::HeadlessPlatform&) { state::store(state::run().MEVENT, 1); });
    }

    static void open_page(gfx::HeadlessPlatform& platform) {
        testing_support::open_trainer(platform, {k_width, k_height});
    }

    static Picture picture_of(const gfx::HeadlessPlatform& platform) {
        Picture picture;
        picture.pixels.reserve(static_cast<size_t>(k_width * k_height));
        for (int y = 0; y < k_height; ++y) {
            for (int x = 0; x < k_width; ++x) picture.pixels.push_back(platform.pixel(x, y));
        }
        return picture;
    }

    Picture graph_of(const std::string& log) {
        folder.write(results::k_log_file, log);
        return graph();
    }
    Picture graph() {
        results::TRITOUT(canvas.canvas());
        return picture_of(canvas);
    }

    // The date labels alone, written as the graph writes them, on a fresh page.
    static Picture date_labels(const std::string& beginning, const std::string& end) {
        gfx::HeadlessPlatform platform;
        open_page(platform);
        platform.canvas().set_font(std::string(plot::symbol_font(8.0f)));
        platform.canvas().move_to(10, 620);
        platform.canvas().out_text(beginning);
        platform.canvas().move_to(748, 620);
        platform.canvas().out_text(end);
        return picture_of(platform);
    }

    // Columns strictly inside the upper panel that carry a vertical dashed line, seen on the
    // rows between the top edge and the first horizontal grid line.
    static std::set<int> vertical_grid_columns(const Picture& picture) {
        std::set<int> columns;
        for (int x = k_left + 1; x < k_right; ++x) {
            const int black =
                count_colour(picture, {x, k_upper_top + 2, x, k_upper_top + 40}, k_black);
            if (black > 10) columns.insert(x);
        }
        return columns;
    }

    testing_support::WorkingFolder folder;
    gfx::HeadlessPlatform canvas;
};

GTEST_TEST(DateLabels, FixedColumnTexts) {
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"beginning: two-digit day and month, hour and minute in three columns",
         results::beginning_label({5, 3, 2010, 9, 5, 0}), "Beginning 05.03.2010.,  9 h.  5min"},
        {"end: two blanks after the word", results::end_label({28, 12, 2011, 18, 40, 59}),
         "End  28.12.2011., 18 h. 40min"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.text, c.expected);
    }
    EXPECT_EQ(results::beginning_label({}).size(), 34u);
    EXPECT_EQ(results::end_label({}).size(), 29u);
}

GTEST_TEST_F(GraphTest, TrainingRecordIsPlottedAtItsFiveHeights) {
    // 14:07:09 of a one-day span is column 568 of the lower panel.
    const Picture picture =
        graph_of(log_text({training_line({5, 3, 2010, 14, 7, 9}, 200.0f, 4, 100, 1.23f, 15)}));
    struct Case {
        const char* what;
        int row;
        Colour colour;
    };
    const Case cases[] = {
        {"100 presentations: bar top at 0.5", 450, k_green},
        {"the bar just above the next point", 470, k_green},
        {"distance 2 m and size 4 at 0.4: the size is drawn last", 482, k_blue},
        {"1.23 s at 0.246", 532, k_amber},
        {"15 push-ups at 0.3", 515, k_pink},
        {"the bar stands on the bottom edge", k_lower_bottom, k_green},
        {"nothing above the bar", 449, k_white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(picture.at(568, c.row), c.colour);
    }
    // The first record's lines join it to itself: beside its column only the black grid.
    for (const int x : {567, 569}) {
        for (const int row : {482, 515, 532}) {
            EXPECT_TRUE(is_background(picture.at(x, row))) << "x " << x << ", y " << row;
        }
    }
}

GTEST_TEST_F(GraphTest, SingleSightCheckDrawsOneBarOverOneDay) {
    struct Case {
        const char* what;
        TimeStamp stamp;  // always at 09:30, column 395 of a one-day span
        float acuity;
        int top_row;
    };
    const Case cases[] = {
        {"acuity 0.8", {5, 3, 2010, 9, 30, 0}, 0.8f, 78},
        {"acuity 1.25 is clipped to the top edge", {5, 3, 2010, 9, 30, 0}, 1.25f, k_upper_top},
        {"on the first day of a year", {1, 1, 2011, 9, 30, 0}, 0.8f, 78},
        {"on the last day of a year", {31, 12, 2010, 9, 30, 0}, 0.8f, 78},
        {"on a leap day", {29, 2, 2012, 9, 30, 0}, 0.8f, 78},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Picture picture = graph_of(log_text({sight_line(c.stamp, c.acuity)}));
        EXPECT_EQ(count_colour(picture, {395, c.top_row, 395, k_upper_bottom}, k_blue),
                  k_upper_bottom - c.top_row + 1);
        EXPECT_EQ(count_colour(picture, {k_left, k_upper_top, k_right, k_upper_bottom}, k_blue),
                  k_upper_bottom - c.top_row + 1)
            << "blue elsewhere in the upper panel than the bar";
        EXPECT_TRUE(vertical_grid_columns(picture).empty());
        // The lower panel keeps only its black frame and grid.
        const Area inside{k_left, k_lower_top, k_right, k_lower_bottom};
        EXPECT_EQ(count_colour(picture, inside, k_white) + count_colour(picture, inside, k_black),
                  static_cast<int>(pixels_in(picture, inside).size()));

        const Picture labels =
            date_labels(results::beginning_label(c.stamp), results::end_label(c.stamp));
        EXPECT_EQ(pixels_in(picture, k_beginning_area), pixels_in(labels, k_beginning_area));
        EXPECT_EQ(pixels_in(picture, k_end_area), pixels_in(labels, k_end_area));
    }
}

GTEST_TEST_F(GraphTest, ASpanOverTheTurnOfTheYear) {
    // 31 December and 1 January: two days, one dashed line between them, a training on each.
    const Picture picture = graph_of(log_text({
        training_line({31, 12, 2010, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
        training_line({1, 1, 2011, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
    }));
    EXPECT_EQ(vertical_grid_columns(picture).size(), 1u);
    const Picture labels =
        date_labels("Beginning 31.12.2010., 12 h.  0min", "End  01.01.2011., 12 h.  0min");
    EXPECT_EQ(pixels_in(picture, k_beginning_area), pixels_in(labels, k_beginning_area));
    EXPECT_EQ(pixels_in(picture, k_end_area), pixels_in(labels, k_end_area));
    // Both bars: at noon of each of the two days.
    const int first = k_left + (k_right - k_left) / 4, second = k_left + 3 * (k_right - k_left) / 4;
    EXPECT_GT(count_colour(picture, {first - 1, k_lower_top, first + 1, k_lower_bottom}, k_green),
              0);
    EXPECT_GT(count_colour(picture, {second - 1, k_lower_top, second + 1, k_lower_bottom}, k_green),
              0);
}

GTEST_TEST_F(GraphTest, WholeDaysFromTheEarliestToTheLatestRecord) {
    // 1, 2 and 4 March: four days, a dashed line at each day boundary; on the latest date the
    // first record in the file names the time.
    const Picture picture = graph_of(log_text({
        sight_line({1, 3, 2010, 10, 0, 0}, 0.5f),
        training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5),
        training_line({4, 3, 2010, 10, 5, 0}, 200.0f, 4, 100, 1.0f, 5),
        sight_line({4, 3, 2010, 18, 40, 0}, 0.6f),
    }));
    EXPECT_EQ(vertical_grid_columns(picture), (std::set<int>{264, 489, 713}));

    const Picture labels =
        date_labels("Beginning 01.03.2010., 10 h.  0min", "End  04.03.2010., 10 h.  5min");
    EXPECT_EQ(pixels_in(picture, k_beginning_area), pixels_in(labels, k_beginning_area));
    EXPECT_EQ(pixels_in(picture, k_end_area), pixels_in(labels, k_end_area));
}

GTEST_TEST_F(GraphTest, LineOfAnotherKindDatedEarlierMovesTheBeginningAndTheSpan) {
    // The line of neither kind adds 28 February: the span is 1 to 4 March plus that day, the
    // Beginning label names it, and it draws nothing itself.
    std::string other = sight_line({28, 2, 2010, 8, 15, 0}, 0.8f);
    other.replace(47, 2, "xx");
    const Picture picture = graph_of(log_text({
        sight_line({1, 3, 2010, 10, 0, 0}, 0.5f),
        other,
        training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5),
        training_line({4, 3, 2010, 10, 5, 0}, 200.0f, 4, 100, 1.0f, 5),
    }));
    const Picture same_span = graph_of(log_text({
        sight_line({28, 2, 2010, 8, 15, 0}, 0.0f),
        sight_line({1, 3, 2010, 10, 0, 0}, 0.5f),
        training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5),
        training_line({4, 3, 2010, 10, 5, 0}, 200.0f, 4, 100, 1.0f, 5),
    }));
    EXPECT_EQ(vertical_grid_columns(picture), vertical_grid_columns(same_span));
    EXPECT_EQ(vertical_grid_columns(picture).size(), 4u);
    const Picture labels =
        date_labels("Beginning 28.02.2010.,  8 h. 15min", "End  04.03.2010., 10 h.  5min");
    EXPECT_EQ(pixels_in(picture, k_beginning_area), pixels_in(labels, k_beginning_area));
    // The lower panel is the same; the upper one lacks the zero bar of 28 February and the
    // line from it.
    const Area lower{k_left, k_lower_top, k_right, k_lower_bottom};
    EXPECT_EQ(pixels_in(picture, lower), pixels_in(same_span, lower));
}

GTEST_TEST_F(GraphTest, ARecordTheDrawingSkipsStillEndsTheSpan) {
    // The last training's distance was written as asterisks: it draws nothing, but its date
    // and time read, so the span runs from the other line's 1 March to its 12 March.
    std::string other = sight_line({1, 3, 2010, 8, 15, 0}, 0.8f);
    other.replace(47, 2, "xx");
    std::string unreadable = training_line({12, 3, 2010, 9, 40, 0}, 200.0f, 4, 100, 1.0f, 5);
    unreadable.replace(36, 7, "*******");
    const Picture picture = graph_of(log_text({
        training_line({5, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5),
        other,
        unreadable,
    }));
    EXPECT_EQ(vertical_grid_columns(picture).size(), 11u);  // the 12 days' inner boundaries
    const Picture labels =
        date_labels("Beginning 01.03.2010.,  8 h. 15min", "End  12.03.2010.,  9 h. 40min");
    EXPECT_EQ(pixels_in(picture, k_beginning_area), pixels_in(labels, k_beginning_area));
    EXPECT_EQ(pixels_in(picture, k_end_area), pixels_in(labels, k_end_area));
}

GTEST_TEST_F(GraphTest, EachCurveJoinsOnlyRecordsOfItsKind) {
    // Noon of four days: columns 152, 376, 601 and 825. The sight checks, at 5 m, stand on
    // the first and third day; the trainings, at 2 m, on the second and fourth.
    const Picture picture = graph_of(log_text({
        sight_line({1, 3, 2010, 12, 0, 0}, 0.5f, 500.0f),
        training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
        sight_line({3, 3, 2010, 12, 0, 0}, 0.5f, 500.0f),
        training_line({4, 3, 2010, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
    }));
    struct Case {
        const char* what;
        int row, from, to;
        Colour colour;
    };
    const Case cases[] = {
        {"acuity 0.5", 144, 152, 601, k_blue},  {"distance 2 m", 482, 376, 825, k_magenta},
        {"size 6", 417, 376, 825, k_blue},      {"average time 1 s", 547, 376, 825, k_amber},
        {"15 push-ups", 515, 376, 825, k_pink},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(count_colour(picture, {c.from, c.row, c.to, c.row}, c.colour), c.to - c.from + 1);
        EXPECT_TRUE(is_background(picture.at(c.from - 1, c.row)));
        EXPECT_TRUE(is_background(picture.at(c.to + 1, c.row)));
    }
    // The sight checks' 5 m never joins the distance curve: nothing magenta on the top edge.
    EXPECT_EQ(count_colour(picture, {k_left, k_lower_top, k_right, k_lower_top}, k_magenta), 0);
}

GTEST_TEST_F(GraphTest, RunWithoutAnAverageTimeKeepsItsOtherCurves) {
    // Noon of three days: columns 190, 489 and 788. The middle run answered nothing.
    const Picture picture = graph_of(log_text({
        training_line({1, 3, 2010, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
        training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 6, 100, NAN, 15),
        training_line({3, 3, 2010, 12, 0, 0}, 200.0f, 6, 100, 1.0f, 15),
    }));
    // The average time runs straight from the first run to the third, and nowhere else.
    const Area lower{k_left, k_lower_top, k_right, k_lower_bottom};
    EXPECT_EQ(count_colour(picture, {190, 547, 788, 547}, k_amber), 788 - 190 + 1);
    EXPECT_EQ(count_colour(picture, lower, k_amber), 788 - 190 + 1);
    // The middle run has its bar, and the other curves pass through it.
    EXPECT_EQ(picture.at(489, 460), k_green);
    EXPECT_EQ(count_colour(picture, {190, 482, 788, 482}, k_magenta), 788 - 190 + 1);
    EXPECT_EQ(count_colour(picture, {190, 515, 788, 515}, k_pink), 788 - 190 + 1);
}

GTEST_TEST_F(GraphTest, UnusableLinesAreSkippedAndLaterRecordsDrawn) {
    const std::string first = sight_line({1, 3, 2010, 9, 0, 0}, 0.5f);
    const std::string second = training_line({2, 3, 2010, 12, 0, 0}, 200.0f, 4, 100, 1.0f, 5);
    const std::string third = sight_line({2, 3, 2010, 18, 0, 0}, 0.7f);
    const Picture clean = graph_of(log_text({first, second, third}));

    const Picture with_bad_lines = graph_of(log_text({
        first,
        "",                                                            // a blank line
        training_line({1, 3, 2010, 13, 0, 0}, 1e6f, 4, 100, 1.0f, 5),  // distance of asterisks
        sight_line({1, 3, 2010, 12, 0, 0}, 25.0f),                     // acuity of asterisks
        "xx.03.2010.,  12hour 0min  0sec",                             // letters
        second,
        sight_line({31, 2, 2010, 12, 0, 0}, 0.5f),  // not a calendar date
        third,
    }));
    EXPECT_TRUE(with_bad_lines == clean);
}

GTEST_TEST_F(GraphTest, WithoutUsableRecordsShowsAnEmptyDay) {
    struct Case {
        const char* what;
        const char* log;  // nullptr: no log file
    };
    const std::string header_only = log_text({});
    const std::string unusable_only = log_text({"", std::string(115, '*')});
    const Case cases[] = {
        {"no log", nullptr},
        {"an empty log", ""},
        {"only the header", header_only.c_str()},
        {"only unusable lines", unusable_only.c_str()},
    };
    std::optional<Picture> first;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.log) {
            folder.write(results::k_log_file, c.log);
        } else {
            std::filesystem::remove(folder.path() / results::k_log_file);
        }
        const Picture picture = graph();
        // Frames and the horizontal grid, no vertical line inside, no date labels; the legends
        // and the closing message.
        EXPECT_EQ(picture.at(k_left, k_upper_bottom), k_black);
        EXPECT_EQ(picture.at(k_right, k_lower_top), k_black);
        EXPECT_TRUE(vertical_grid_columns(picture).empty());
        EXPECT_TRUE(all_white(picture, k_beginning_area));
        EXPECT_TRUE(all_white(picture, k_end_area));
        EXPECT_GT(count_colour(picture, {0, 0, k_width - 1, k_height - 1}, k_pink), 0);
        EXPECT_GT(count_colour(picture, {265, 613, 739, 649}, k_message), 0);
        if (!first) first = picture;
        EXPECT_TRUE(picture == *first) << "differs from the graph of no log";
    }
}

GTEST_TEST_F(GraphTest, WaitsForAPressMadeAfterItIsDrawn) {
    folder.write(results::k_log_file, log_text({sight_line({5, 3, 2010, 9, 30, 0}, 0.8f)}));
    state::store(state::run().MEVENT, 1);  // a press from before the graph does not count
    canvas.set_user([](gfx::HeadlessPlatform& platform) {
        if (platform.now() >= 2.0) state::store(state::run().MEVENT, 1);
    });
    results::TRITOUT(canvas.canvas());
    EXPECT_GE(canvas.now(), 2.0);
    EXPECT_LT(canvas.now(), 2.01);
    EXPECT_EQ(state::load(state::run().MEVENT), 0);
}

// Two sight checks and three trainings over three days, drawn as stored in
// golden/progress_graph.png: frames, grid and curves pixel for pixel, each text by its colour
// and the box it fills. PELIDOR_UPDATE_GOLDEN=1 writes the picture anew.
GTEST_TEST_F(GraphTest, GoldenPictureOfASmallLog) {
    // Each label's area starts a little above and left of its corner (its page position on
    // the 240 by 180 page, or the pixel position of the date labels and the message) and
    // holds nothing but the text; the margin and legend areas end short of the panel frames.
    constexpr testing_support::TextArea texts[] = {
        {"0", 0, 236, 39, 262},
        {"0.2", 0, 193, 39, 219},
        {"0.4", 0, 149, 39, 175},
        {"0.6", 0, 106, 39, 132},
        {"0.8", 0, 63, 39, 89},
        {"1", 0, 19, 39, 45},
        {"Visual acuity", 279, 5, 419, 31},
        {"6", 0, 406, 39, 432},
        {"100", 0, 438, 39, 464},
        {"2m", 0, 467, 39, 493},
        {"1s", 0, 532, 39, 558},
        {"5", 0, 568, 39, 594},
        {"Volume(200)", 75, 261, 195, 286},
        {"Distance(5m)", 239, 261, 369, 286},
        {"Square(10)", 402, 261, 512, 286},
        {"Average_time(5s)", 565, 261, 735, 286},
        {"Number of push-ups(50)", 769, 261, 979, 286},
        {"Beginning", 0, 614, 262, 649},
        {"closing message", 263, 614, 735, 649},
        {"End", 740, 614, 979, 649},
    };
    const Picture picture = graph_of(log_text({
        sight_line({1, 3, 2010, 9, 30, 0}, 0.6f),
        training_line({1, 3, 2010, 18, 10, 0}, 180.0f, 4, 100, 1.23f, 15),
        training_line({2, 3, 2010, 11, 45, 0}, 240.0f, 5, 150, 0.95f, 8),
        sight_line({3, 3, 2010, 8, 20, 0}, 0.8f, 250.0f),
        training_line({3, 3, 2010, 20, 5, 0}, 320.0f, 6, 200, 0.8f, 4),
    }));

    EXPECT_TRUE(testing_support::matches_golden(
        picture.pixels, k_width, k_height,
        testing_support::golden_path("results", "progress_graph.png"), texts));
}

}  // namespace
