#include "scripted_trainee.h"

#include <gtest/gtest.h>

#include <cmath>

#include "program_fixture.h"

namespace testing_support {

namespace {

constexpr gfx::Colour k_prompt_blue = 0xFF0000;

int count_cyan(const gfx::HeadlessPlatform& platform) {
    int count = 0;
    while (count < 980 && platform.pixel(count, 5) == k_progress_cyan) ++count;
    return count;
}

}  // namespace

void Trainee::operator()(gfx::HeadlessPlatform& platform) {
    while (tones_heard_ < platform.tones().size()) {
        const gfx::ToneRecord& tone = platform.tones()[tones_heard_++];
        if (tone.frequency != 1000) continue;
        ++windows_seen;
        opened_ms_ = std::llround(tone.at_seconds * 1000);
        cyan_columns.push_back(count_cyan(platform));
    }
    if (opened_ms_ >= 0 && platform.now_ms() == opened_ms_ + reaction_ms) act(platform);
    if (prompt_clicked_ms < 0 && training_prompt_shown(platform)) {
        platform.click(gfx::k_key_left);
        prompt_clicked_ms = platform.now_ms();
    }
}

void Trainee::act(gfx::HeadlessPlatform& platform) {
    switch (reply(windows_seen)) {
        case Reply::figure_side:
            platform.click(figure_on_right(platform) ? gfx::k_key_right : gfx::k_key_left);
            break;
        case Reply::other_side:
            platform.click(figure_on_right(platform) ? gfx::k_key_left : gfx::k_key_right);
            break;
        case Reply::none:
            break;
        case Reply::both_buttons:
            platform.press(gfx::k_key_left);
            platform.press(gfx::k_key_right);
            break;
        case Reply::graph_request:
            platform.choose(menu_position(platform, "Effect from training"));
            break;
    }
}

// The last point of the figure is drawn last, so its whole block shows where it stands.
bool Trainee::block_shown(const gfx::HeadlessPlatform& platform, int xoff) const {
    const int point = figures_.count(K_);
    for (int across = 1; across <= 2 * K_; ++across) {
        for (int down = 1; down <= 2 * K_; ++down) {
            const gfx::Colour expected =
                (across <= K_) == (down <= K_) ? gfx::k_white : gfx::k_black;
            const int x = figures_.column(point, K_) + xoff + across;
            const int y = figures_.row(point, K_) + down;
            if (platform.pixel(x, y) != expected) return false;
        }
    }
    return true;
}

bool Trainee::figure_on_right(const gfx::HeadlessPlatform& platform) const {
    const bool left = block_shown(platform, 20 / K_ * K_);
    const bool right = block_shown(platform, 450 / K_ * K_);
    EXPECT_NE(left, right) << "the trainee cannot tell where the figure is";
    return right;
}

bool training_prompt_shown(const gfx::HeadlessPlatform& platform) {
    if (platform.pixel(0, 15) != gfx::k_white) return false;
    for (int y = 550; y < 588; ++y) {
        for (int x = 60; x < 400; ++x) {
            if (platform.pixel(x, y) == k_prompt_blue) return true;
        }
    }
    return false;
}

}  // namespace testing_support
