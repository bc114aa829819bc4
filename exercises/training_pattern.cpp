#include "exercises/training_pattern.h"

#include "exercises/random.h"

namespace exercises {

FigurePlacement place_figure(int32_t K) {
    const bool right = RAN11() > 0.5f;
    if (K < 1) return FigurePlacement{right, 0};
    const float X0 = right ? 450.0f : 20.0f;
    return FigurePlacement{right, static_cast<int32_t>(X0 / static_cast<float>(K)) * K};
}

}  // namespace exercises
