#include "scripted_viewer.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <utility>

namespace testing_support {

namespace {

constexpr gfx::Colour k_result_blue = 0xFF0000;

int button_on(int side) {
    if (side < 0) return gfx::k_key_left;
    if (side > 0) return gfx::k_key_right;
    return 0;
}

}  // namespace

RingView look_at_ring(const gfx::HeadlessPlatform& platform) {
    const std::shared_ptr<gfx::Surface> surface = platform.canvas().surface(1);
    const auto white = [&](int x, int y) { return surface->pixel(x, y) == gfx::k_white; };
    // Along the column through the centre, up and down: the ring's hole, then the ring. A
    // small ring's turned gap may cross the column on one side, which only lengthens the hole
    // there; the other side then shows both radii. Going down, the fill leaves the bottom row of
    // each disc open, so that side counts one pixel short.
    const auto walk = [&](int step) {
        int y = k_ring_centre_y;
        while (y > 0 && y < 649 && white(k_ring_centre_x, y)) y += step;
        const int hole = std::abs(y - k_ring_centre_y);
        while (y > 0 && y < 649 && !white(k_ring_centre_x, y)) y += step;
        return std::pair{hole, std::abs(y - k_ring_centre_y) - 1};
    };
    const auto up = walk(-1);
    const auto down = walk(+1);
    const bool down_is_clear = down.first + 1 < up.first;
    // The hole's radius about the point half a pixel up and left of the centre (below).
    const int inner = (down_is_clear ? down.first + 1 : up.first) - 1;
    const int outer = down_is_clear ? down.second + 1 : up.second;
    // The discs are filled from their left and top ends up to but excluding their right and
    // bottom ones, so the drawn ring is centred half a pixel up and left of the centre pixel;
    // offsets are counted in half pixels from there. Without its gap the ring is symmetric about
    // that point, so the white pixels in the band between the two radii lie in the gap; their
    // mean points along it.
    int balance = 0;
    int sum_x = 0;
    int sum_y = 0;
    for (int dy = -outer - 1; dy <= outer; ++dy) {
        for (int dx = -outer - 1; dx <= outer; ++dx) {
            const int half_x = 2 * dx + 1;
            const int half_y = 2 * dy + 1;
            const int squared = half_x * half_x + half_y * half_y;
            // Half a pixel clear of either edge of the ring.
            if (squared < (2 * inner + 1) * (2 * inner + 1) ||
                squared > (2 * outer - 1) * (2 * outer - 1)) {
                continue;
            }
            if (!white(k_ring_centre_x + dx, k_ring_centre_y + dy)) continue;
            balance += (half_x > 0) - (half_x < 0);
            sum_x += half_x;
            sum_y += half_y;
        }
    }
    const double angle = std::atan2(sum_y, sum_x) * 180.0 / std::numbers::pi;
    // A level gap on the left may come out just below -180: that is the left too.
    const int nearest = static_cast<int>(std::lround(angle / 45.0)) * 45;
    return {outer, (balance > 0) - (balance < 0), nearest == -180 ? 180 : nearest};
}

bool sight_result_shown(const gfx::HeadlessPlatform& platform) {
    for (int x = 60; x < 700; ++x) {
        if (platform.pixel(x, 570) == k_result_blue) return true;
    }
    return false;
}

void Viewer::operator()(gfx::HeadlessPlatform& platform) {
    if (also) also(platform);
    const std::vector<gfx::ToneRecord>& tones = platform.tones();
    for (; tones_seen_ < tones.size(); ++tones_seen_) {
        if (tones[tones_seen_].frequency != k_ring_tone) continue;
        rings.push_back(look_at_ring(platform));
        ring_times.push_back(tones[tones_seen_].at_seconds);
        button_ = choose_(rings.back(), rings.size() - 1);
        press_at_ = platform.now_ms() + 300;
    }
    if (button_ != 0 && platform.now_ms() == press_at_) platform.press(button_);
    if (button_ != 0 && platform.now_ms() == press_at_ + 50) platform.release(button_);
    if (result_shown_at < 0 && platform.now_ms() % 100 == 0 && sight_result_shown(platform)) {
        result_shown_at = platform.now();
        button_ = gfx::k_key_left;
        press_at_ = platform.now_ms() + static_cast<int64_t>(result_click_delay * 1000);
    }
}

Viewer::Choice scripted(std::string answers) {
    return [answers](const RingView& ring, std::size_t index) {
        if (index >= answers.size()) return 0;
        if (answers[index] == 'C') return button_on(ring.gap_side);
        if (answers[index] == 'W') return button_on(-ring.gap_side);
        return 0;
    };
}

Viewer::Choice resolving(int smallest_radius, WhenUnsure unsure) {
    return [=](const RingView& ring, std::size_t) {
        if (ring.outer_radius >= smallest_radius) return button_on(ring.gap_side);
        return unsure == WhenUnsure::guess_left ? gfx::k_key_left : 0;
    };
}

}  // namespace testing_support
