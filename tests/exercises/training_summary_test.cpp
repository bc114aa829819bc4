#include "exercises/training_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "program_fixture.h"
#include "state/shared_state.h"

namespace {

using exercises::SummaryText;
using exercises::TrainingSummary;
using gfx::Colour;
using gfx::HeadlessPlatform;

constexpr float k_nan = std::numeric_limits<float>::quiet_NaN();

// The summary's fonts and colours (0x00BBGGRR) as the user must see them.
const std::string k_small = "t'Times New Roman Cyr'h38w17ib";
const std::string k_large = "t'Times New Roman Cyr'h120w40ib";
const std::string k_medium = "t'Times New Roman Cyr'h68w20ib";
constexpr Colour k_olive = 0x009999;
constexpr Colour k_green = 0x00AA00;
constexpr Colour k_red = 0x0000FF;
constexpr Colour k_blue = 0xFF0000;

::testing::AssertionResult same_texts(const std::vector<SummaryText>& actual,
                                      const std::vector<SummaryText>& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << actual.size() << " texts instead of " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const SummaryText& a = actual[i];
        const SummaryText& e = expected[i];
        if (a.font != e.font || a.colour != e.colour || a.x != e.x || a.y != e.y ||
            a.text != e.text) {
            return ::testing::AssertionFailure()
                   << "text " << i + 1 << " is \"" << a.text << "\" at (" << a.x << ", " << a.y
                   << ") in " << a.font << ", colour " << std::hex << a.colour << "; expected \""
                   << e.text << "\" at (" << std::dec << e.x << ", " << e.y << ") in " << e.font
                   << ", colour " << std::hex << e.colour;
        }
    }
    return ::testing::AssertionSuccess();
}

// ---- what the screen says

GTEST_TEST(TrainingSummaryTexts, ARunWithErrorsAndMissedAnswersPrescribesPushUps) {
    const TrainingSummary summary{100, 3, 5, 1.234f, 11};
    EXPECT_TRUE(same_texts(exercises::summary_texts(summary),
                           {
                               {k_small, k_olive, 30, 0, " 100 praxis"},
                               {k_small, k_olive, 250, 0, "   3 errors"},
                               {k_small, k_olive, 500, 0, "   5 times not answered"},
                               {k_small, k_green, 50, 120, "Average time of answer"},
                               {k_small, k_green, 655, 120, "sec."},
                               {k_large, k_green, 400, 55, "   1.23"},
                               {k_medium, k_red, 30, 280, "Make"},
                               {k_large, k_red, 200, 235, "  11"},
                               {k_medium, k_red, 370, 280, "push-ups, please!"},
                           }));
}

GTEST_TEST(TrainingSummaryTexts, AFaultlessRunIsPraisedInGreenWithoutAPrescription) {
    const TrainingSummary summary{20, 0, 0, 0.5f, 0};
    const std::vector<SummaryText> texts = exercises::summary_texts(summary);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_TRUE(
        same_texts({texts.back()}, {{k_medium, k_green, 55, 280, "No errors, no pushups!"}}));
    for (const SummaryText& text : texts) EXPECT_NE(text.colour, k_red) << text.text;
}

GTEST_TEST(TrainingSummaryTexts, FieldsKeepTheirWidthsWhateverTheValues) {
    struct Case {
        const char* what;
        TrainingSummary summary;
        std::size_t item;  // index into the texts
        const char* text;
    };
    const Case cases[] = {
        {"nothing answered: no average, NaN in 7 columns", {4, 0, 4, k_nan, 4}, 5, "    NaN"},
        {"average rounded to 2 decimals", {4, 0, 0, 12.345678f, 0}, 5, "  12.35"},
        {"an average too wide for 7 columns", {4, 0, 0, 12345.5f, 0}, 5, "*******"},
        {"a volume too wide for 4 columns, cut to 11 columns",
         {10000, 0, 0, 1, 0},
         0,
         "**** praxis"},
        {"push-up count right-justified in 4 columns", {50, 0, 7, k_nan, 7}, 7, "   7"},
        {"push-ups of all answers missed", {9999, 0, 9999, k_nan, 9999}, 7, "9999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<SummaryText> texts = exercises::summary_texts(c.summary);
        ASSERT_LT(c.item, texts.size());
        EXPECT_EQ(texts[c.item].text, c.text);
    }
}

GTEST_TEST(TrainingSummaryTexts, LabelsAgreeWithTheirCounts) {
    struct Case {
        int32_t count;
        int form;
        const char* errors;  // the wrong-answer count with its label
    };
    const Case cases[] = {
        {0, 3, "   0 errors"},   {1, 1, "   1  error"},   {2, 2, "   2 errors"},
        {4, 2, "   4 errors"},   {5, 3, "   5 errors"},   {11, 3, "  11 errors"},
        {12, 3, "  12 errors"},  {14, 3, "  14 errors"},  {20, 3, "  20 errors"},
        {21, 1, "  21  error"},  {22, 2, "  22 errors"},  {25, 3, "  25 errors"},
        {101, 1, " 101  error"}, {111, 1, " 111  error"}, {1000, 3, "1000 errors"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(exercises::label_form(c.count), c.form);
        const TrainingSummary summary{9999, c.count, 0, 1, 2 * c.count};
        EXPECT_EQ(exercises::summary_texts(summary)[1].text, c.errors);
    }
    // Counts below 0 never come from a run; they take the plural form rather than fail.
    EXPECT_EQ(exercises::label_form(-1), 3);
    EXPECT_EQ(exercises::label_form(-21), 3);
}

// ---- the screen on the twin

struct FontSize {
    int height;
    int width;
};

// Where a text's ink may lie: its rows y .. y + height - 1, and its columns from x on, at most
// a third wider than the average character width says, give or take the slant of the italic
// letters (their feet lean left of x).
struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

Box ink_box(const SummaryText& text) {
    static const std::map<std::string, FontSize> sizes = {
        {k_small, {38, 17}}, {k_large, {120, 40}}, {k_medium, {68, 20}}};
    const FontSize size = sizes.at(text.font);
    const int width = static_cast<int>(text.text.size()) * size.width * 4 / 3 + size.height / 3;
    return {text.x - size.height / 8, text.y, text.x + width, text.y + size.height - 1};
}

class TrainingSummaryScreen : public ::testing::Test {
  protected:
    TrainingSummaryScreen() {
        testing_support::reset_program_state();
        testing_support::open_trainer(platform);
    }
    ~TrainingSummaryScreen() override { testing_support::reset_program_state(); }

    // Every pixel that is not white must be ink of a text of its colour, inside that text's
    // box; and every text must have ink in its box.
    void expect_texts_in_place(const std::vector<SummaryText>& texts) {
        std::vector<Box> boxes;
        for (const SummaryText& text : texts) boxes.push_back(ink_box(text));
        std::vector<int> ink(texts.size(), 0);
        int stray = 0;
        for (int y = 0; y < 650; ++y) {
            for (int x = 0; x < 980; ++x) {
                const Colour colour = platform.pixel(x, y);
                if (colour == gfx::k_white) continue;
                bool placed = false;
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    if (texts[i].colour != colour || !boxes[i].contains(x, y)) continue;
                    ++ink[i];
                    placed = true;
                }
                if (!placed && stray++ < 5) {
                    ADD_FAILURE() << "pixel " << std::hex << colour << std::dec << " at (" << x
                                  << ", " << y << ") belongs to no text";
                }
            }
        }
        EXPECT_EQ(stray, 0);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_GT(ink[i], 20) << "\"" << texts[i].text << "\"";
        }
    }

    HeadlessPlatform platform;
};

GTEST_TEST_F(TrainingSummaryScreen, TextsAppearInTheirColoursAndPlacesOnAWhiteWindow) {
    const TrainingSummary cases[] = {
        {100, 3, 5, 1.234f, 11},
        {100, 0, 0, 0.75f, 0},
        {7, 0, 7, k_nan, 7},
    };
    for (const TrainingSummary& summary : cases) {
        SCOPED_TRACE("push-ups " + std::to_string(summary.NPUP));
        // Something left from the exercise, which the white fill must cover.
        platform.canvas().set_colour(0x007700);
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        exercises::draw_summary(platform.canvas(), 980, 650, summary);
        expect_texts_in_place(exercises::summary_texts(summary));
    }
}

GTEST_TEST_F(TrainingSummaryScreen, PromptWaitsForAPressMadeAfterItAppears) {
    struct Case {
        const char* what;
        int button;  // pressed (and held) at 700 ms
    };
    const Case cases[] = {
        {"left button", gfx::k_key_left},
        {"right button", gfx::k_key_right},
        {"both buttons", gfx::k_key_left | gfx::k_key_right},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.canvas().set_colour(gfx::k_white);
        platform.canvas().rectangle(gfx::Shape::filled, 0, 0, 979, 649);
        // A click that came before the prompt must not end the wait.
        state::store(state::run().MEVENT, 1);
        state::store(state::run().MBUTTON, 1);
        const int64_t start = platform.now_ms();
        platform.set_user([&](HeadlessPlatform& s) {
            if (s.now_ms() != start + 700) return;
            if ((c.button & gfx::k_key_left) != 0) s.press(gfx::k_key_left);
            if ((c.button & gfx::k_key_right) != 0) s.press(gfx::k_key_right);
        });
        const gfx::RunOutcome outcome =
            platform.run(nullptr, [](gfx::Canvas& canvas) { exercises::prompt_and_wait(canvas); });
        EXPECT_EQ(outcome.kind, gfx::RunOutcome::Kind::stopped);
        EXPECT_EQ(platform.now_ms() - start, 700);
        EXPECT_EQ(state::load(state::run().MEVENT), 0);
        expect_texts_in_place({exercises::closing_prompt()});
        EXPECT_TRUE(
            same_texts({exercises::closing_prompt()},
                       {{k_small, k_blue, 60, 550, "For continuation press any mouse button"}}));
        platform.set_user({});
        if ((c.button & gfx::k_key_left) != 0) platform.release(gfx::k_key_left);
        if ((c.button & gfx::k_key_right) != 0) platform.release(gfx::k_key_right);
        state::start_run();
    }
}

}  // namespace
