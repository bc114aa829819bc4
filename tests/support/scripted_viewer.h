#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/headless/headless_platform.h"

namespace testing_support {

// The middle of the 980 x 650 window, where the sight check draws its ring.
constexpr int k_ring_centre_x = 490;
constexpr int k_ring_centre_y = 325;
// The tone each ring opens with.
constexpr int k_ring_tone = 1000;

// What a viewer makes of the ring in the middle of the window.
struct RingView {
    int outer_radius = 0;  // pixels
    int gap_side = 0;      // -1 left, +1 right, 0 when no gap is found
    int gap_angle = 0;     // degrees from the right, clockwise on the screen, nearest 45
};

RingView look_at_ring(const gfx::HeadlessPlatform& platform);

// Whether the sight check's result screen is up: its line "For continuation press any mouse
// button" crosses row 570 in blue.
bool sight_result_shown(const gfx::HeadlessPlatform& platform);

// A user at the screen of the sight check. Right after each ring's tone it looks at the ring
// and decides which button, if any, to click 300 ms later. When the result screen appears it
// clicks after `result_click_delay` seconds.
class Viewer {
  public:
    // The button to click for the ring (gfx::k_key_left or k_key_right), or 0 for none.
    using Choice = std::function<int(const RingView& ring, std::size_t index)>;

    explicit Viewer(Choice choose) : choose_(std::move(choose)) {}

    void operator()(gfx::HeadlessPlatform& platform);

    std::vector<RingView> rings;
    std::vector<double> ring_times;  // when each ring's tone began
    double result_shown_at = -1;
    double result_click_delay = 0.5;
    std::function<void(gfx::HeadlessPlatform&)> also;  // a further action at every millisecond

  private:
    Choice choose_;
    std::size_t tones_seen_ = 0;
    int64_t press_at_ = -1;
    int button_ = 0;
};

// Answers by script, one character per ring: 'C' the side of the gap, 'W' the other side,
// '-' nothing. Rings beyond the script are not answered.
Viewer::Choice scripted(std::string answers);

enum class WhenUnsure { guess_left, keep_still };

// Sees the gap of rings at least `smallest_radius` pixels in outer radius; for smaller ones it
// guesses left or does not answer.
Viewer::Choice resolving(int smallest_radius, WhenUnsure unsure);

}  // namespace testing_support
