#include "exercises/training_summary.h"

#include <array>

#include "gfx/platform.h"
#include "state/mouse_protocol.h"
#include "textio/fields.h"

namespace exercises {

namespace {

// A label in its three forms, for counts of form 1, 2 and 3. In these texts only the
// wrong-answer label tells its forms apart; the others keep the table all the same, so every
// count is labelled by the one rule.
using LabelForms = std::array<const char*, 3>;

constexpr LabelForms k_presentations_label = {" praxis", " praxis", " praxis"};
constexpr LabelForms k_errors_label = {"  error", " errors", " errors"};
constexpr LabelForms k_unanswered_label = {" times not answered", " times not answered",
                                           " times not answered"};
constexpr LabelForms k_push_ups_label = {"push-ups, please!", "push-ups, please!",
                                         "push-ups, please!"};

const char* label(const LabelForms& forms, int32_t count) {
    return forms[static_cast<std::size_t>(label_form(count) - 1)];
}

// Each text is written into a blank-filled line and its first `columns` characters are shown:
// a text that came out longer is cut, a shorter one keeps its trailing blanks.
std::string first_columns(std::string text, std::size_t columns) {
    text.resize(columns, ' ');
    return text;
}

std::string count_with_label(int32_t count, const LabelForms& forms, std::size_t columns) {
    return first_columns(textio::format_int(count, 4) + label(forms, count), columns);
}

void draw_text(gfx::Canvas& canvas, const SummaryText& item) {
    canvas.set_font(item.font);
    canvas.set_colour(item.colour);
    canvas.move_to(item.x, item.y);
    canvas.out_text(item.text);
}

}  // namespace

int label_form(int32_t count) {
    if (count < 0 || (count >= 11 && count <= 20)) return 3;
    const int32_t last_digit = count % 10;
    if (last_digit == 1) return 1;
    if (last_digit >= 2 && last_digit <= 4) return 2;
    return 3;
}

std::vector<SummaryText> summary_texts(const TrainingSummary& summary) {
    std::vector<SummaryText> texts = {
        {k_small_font, k_olive, 30, 0, count_with_label(summary.NVOL, k_presentations_label, 11)},
        {k_small_font, k_olive, 250, 0, count_with_label(summary.NERR, k_errors_label, 11)},
        {k_small_font, k_olive, 500, 0, count_with_label(summary.NNOANS, k_unanswered_label, 23)},
        {k_small_font, k_summary_green, 50, 120, "Average time of answer"},
        {k_small_font, k_summary_green, 655, 120, "sec."},
        // Not a number, when nothing was answered, shows as "NaN" in the same 7 columns.
        {k_large_font, k_summary_green, 400, 55, textio::format_fixed(summary.TAV, 7, 2)},
    };
    if (summary.NPUP != 0) {
        texts.push_back({k_medium_font, k_summary_red, 30, 280, "Make"});
        texts.push_back(
            {k_large_font, k_summary_red, 200, 235, textio::format_int(summary.NPUP, 4)});
        texts.push_back({k_medium_font, k_summary_red, 370, 280,
                         first_columns(label(k_push_ups_label, summary.NPUP), 17)});
    } else {
        texts.push_back({k_medium_font, k_summary_green, 55, 280, "No errors, no pushups!"});
    }
    return texts;
}

SummaryText closing_prompt() {
    return {k_small_font, k_summary_blue, 60, 550, "For continuation press any mouse button"};
}

void draw_summary(gfx::Canvas& canvas, int16_t width, int16_t height,
                  const TrainingSummary& summary) {
    canvas.set_colour(gfx::k_white);
    canvas.rectangle(gfx::Shape::filled, 0, 0, static_cast<int16_t>(width - 1),
                     static_cast<int16_t>(height - 1));
    for (const SummaryText& item : summary_texts(summary)) draw_text(canvas, item);
}

void prompt_and_wait(gfx::Canvas& canvas) {
    draw_text(canvas, closing_prompt());
    // Any event with a button held ends the wait, both buttons included.
    state::wait_for_press(canvas.platform());
}

}  // namespace exercises
