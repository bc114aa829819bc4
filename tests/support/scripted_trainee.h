#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/headless/headless_platform.h"
#include "state/shared_state.h"

namespace testing_support {

// How the trainee answers one presentation.
enum class Reply { figure_side, other_side, none, both_buttons, graph_request };

// A user in front of the training screen. When the opening tone of an answer window sounds it
// notes the progress bar; `reaction_ms` after the window opened it looks at the two places
// where figure K may stand and replies; when the closing prompt shows it clicks.
class Trainee {
  public:
    // Tones before `tones_before` were heard before this trainee sat down.
    Trainee(int K, const state::FigureTables& figures, std::size_t tones_before)
        : K_(K), figures_(figures), tones_heard_(tones_before) {}

    std::function<Reply(int presentation)> reply = [](int) { return Reply::figure_side; };
    int reaction_ms = 350;

    int windows_seen = 0;
    std::vector<int> cyan_columns;  // progress bar length as each window opened
    int64_t prompt_clicked_ms = -1;

    void operator()(gfx::HeadlessPlatform& platform);

  private:
    void act(gfx::HeadlessPlatform& platform);
    bool block_shown(const gfx::HeadlessPlatform& platform, int xoff) const;
    bool figure_on_right(const gfx::HeadlessPlatform& platform) const;

    int K_;
    const state::FigureTables& figures_;
    std::size_t tones_heard_;
    int64_t opened_ms_ = -1;
};

// The colour of the progress bar, 0x00BBGGRR.
constexpr gfx::Colour k_progress_cyan = 0xFFFF00;

// Whether the training's closing screen asks for a click: it is white behind the bars' rows,
// and the prompt is blue text near (60, 550).
bool training_prompt_shown(const gfx::HeadlessPlatform& platform);

}  // namespace testing_support
