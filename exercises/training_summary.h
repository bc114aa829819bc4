#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/types.h"

namespace exercises {

// What the summary screen reports about one training run.
struct TrainingSummary {
    int32_t NVOL = 0;    // presentations
    int32_t NERR = 0;    // wrong answers
    int32_t NNOANS = 0;  // presentations not answered in time
    float TAV = 0;       // average answer time in seconds; NaN when nothing was answered
    int32_t NPUP = 0;    // push-ups prescribed
};

// Fonts of the summary screen, as set_font option strings.
inline const std::string k_small_font = "t'Times New Roman Cyr'h38w17ib";
inline const std::string k_large_font = "t'Times New Roman Cyr'h120w40ib";
inline const std::string k_medium_font = "t'Times New Roman Cyr'h68w20ib";

constexpr gfx::Colour k_olive = 0x009999;
constexpr gfx::Colour k_summary_green = 0x00AA00;
constexpr gfx::Colour k_summary_red = 0x0000FF;
constexpr gfx::Colour k_summary_blue = 0xFF0000;

// Which of the three label forms agrees with a count: form 1 for counts ending in 1, form 2
// for counts ending in 2, 3 or 4, form 3 for the rest; 11 to 20 always take form 3. A count
// below 0 takes form 3.
int label_form(int32_t count);

// One text of the screen: drawn with its top-left corner at (x, y).
struct SummaryText {
    std::string font;
    gfx::Colour colour;
    int16_t x;
    int16_t y;
    std::string text;
};

// The texts of the summary in drawing order: the three counts, the average answer time, and
// the push-up prescription or the praise for a faultless run.
std::vector<SummaryText> summary_texts(const TrainingSummary& summary);
// The closing prompt.
SummaryText closing_prompt();

// Fills the window white and draws the summary texts.
void draw_summary(gfx::Canvas& canvas, int16_t width, int16_t height,
                  const TrainingSummary& summary);

// Draws the closing prompt and waits for a mouse event with a button held.
void prompt_and_wait(gfx::Canvas& canvas);

}  // namespace exercises
