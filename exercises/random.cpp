#include "exercises/random.h"

#include <cmath>

#include "gfx/platform.h"

namespace exercises {

namespace {

struct GeneratorState {
    double modulus = 2147483647.0;
    double value = 1.2147483825683594;  // the single-precision 1.2147484, widened
    double scale = 2147483648.0;
};

constexpr double k_multiplier = 16807.0;

GeneratorState ran11_state;
GeneratorState ran2_state;
bool ran_started = false;

float next(GeneratorState& state) {
    state.value = std::fmod(k_multiplier * state.value, state.modulus);
    return static_cast<float>(state.value / state.scale);
}

}  // namespace

float RAN11() {
    return next(ran11_state);
}
void RAN11IN() {
    ran11_state = GeneratorState{};
}

float RAN2() {
    return next(ran2_state);
}
void RAN2IN() {
    ran2_state = GeneratorState{};
}

float RAN(gfx::Canvas& ws) {
    if (!ran_started) {
        ran_started = true;
        const gfx::LocalTime now = ws.platform().local_time();
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
    ran_started = false;
}

}  // namespace exercises
