#include "exercises/random.h"

#include <cmath>

#include "gfx/platform.h"
#include "state/shared_state.h"

namespace exercises {

namespace {

constexpr double k_multiplier = 16807.0;

float next(state::GeneratorState& generator) {
    generator.value = std::fmod(k_multiplier * generator.value, generator.modulus);
    return static_cast<float>(generator.value / generator.scale);
}

}  // namespace

float RAN11() {
    return next(state::run().RAN11_state);
}
void RAN11IN() {
    state::run().RAN11_state = state::GeneratorState{};
}

float RAN2() {
    return next(state::run().RAN2_state);
}
void RAN2IN() {
    state::run().RAN2_state = state::GeneratorState{};
}

float RAN(gfx::Canvas& canvas) {
    if (!state::run().RAN_started) {
        state::run().RAN_started = true;
        const gfx::LocalTime now = canvas.platform().local_time();
        const int skip = now.hundredths * now.second;
        for (int i = 0; i < skip; ++i) RAN2();
    }
    return RAN2();
}

float FNN() {
    float u1 = RAN11();
    while (u1 < 1.0e-4f) u1 = RAN11();
    const float u2 = RAN11();
    const float g = std::log(u1);
    const float r = std::sqrt(0.0f - (g + g));
    return r * std::sin(6.283f * u2);
}

void FNN0() {
    RAN2IN();
}

void reset_generators() {
    RAN11IN();
    RAN2IN();
    state::run().RAN_started = false;
}

}  // namespace exercises
