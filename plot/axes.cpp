#include "plot/axes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plot/pen.h"
#include "plot/plot_state.h"
#include "plot/symbols.h"
#include "plot/transforms.h"
#include "textio/fields.h"

namespace plot {

namespace {

constexpr int k_label_width = 6;
constexpr float k_label_size = 7.0f;
constexpr float k_tick_size = 3.5f;
constexpr float k_minor_tick_size = 2.5f;
constexpr int k_plus = 2;
constexpr int k_solid = 1;
constexpr int k_dashed = 3;

// The limits and page frame of one region.
struct RegionFrame {
    float xmin, ymin, xmax, ymax;
    float left, bottom, right, top;
};

RegionFrame region_frame(int iw, int ir) {
    return RegionFrame{gr2(iw, 5, ir), gr2(iw, 6, ir),  gr2(iw, 7, ir),  gr2(iw, 8, ir),
                       gr2(iw, 9, ir), gr2(iw, 10, ir), gr2(iw, 11, ir), gr2(iw, 12, ir)};
}

// The value rounded half away from zero to `decimals` places in F6.d; a value that is not
// finite has no number and is written as asterisks.
std::string fixed_field(float value, int decimals) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(k_label_width), '*');
    return textio::format_fixed(value, k_label_width, decimals);
}

// 10^exponent in single precision; beyond the float range it is infinite or 0.
float power_of_ten(int32_t exponent) {
    const double power = std::pow(10.0, exponent);
    if (power > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    return static_cast<float>(power);
}

// The 6-character label of a value: whole values without decimals, others with as many as the
// axis' magnitude leaves room for; on a scaled axis, value × 10^exponent with 2 decimals.
std::string full_label(float value, const AxisScale& scale) {
    if (scale.exponent != 0) return fixed_field(value * power_of_ten(scale.exponent), 2);
    const float whole = static_cast<float>(truncate_toward_zero(value));
    if (std::fabs(value - whole) <= 0.0001f * std::fabs(value)) return fixed_field(value, 0);
    if (scale.magnitude > 100.0f) return fixed_field(value, 0);
    if (scale.magnitude > 10.0f) return fixed_field(value, 1);
    return fixed_field(value, 2);
}

void x_numbers(gfx::Canvas& canvas, int iw, int ir, float dx, const RegionFrame& frame) {
    const std::optional<AxisScale> scale = axis_scale(frame.xmin, frame.xmax);
    if (!scale) return;
    if (scale->exponent != 0) {
        SYMBOL(canvas, iw, frame.right - 17.0f, frame.bottom, k_label_size, 0.0f,
               scale_label(scale->exponent));
    }
    for_each_numbered_tick(
        Axis::x, frame.xmin, frame.xmax, dx, *scale, [&](float value, const std::string& label) {
            const float x = frame.left + ((frame.right - frame.left) * (value - frame.xmin)) /
                                             (frame.xmax - frame.xmin);
            // Kept clear of the bottom of the page.
            const float y = std::max(frame.bottom - 1.0f, 6.0f);
            SYMBOL(canvas, iw, x - 9.0f, y + 2.0f, k_label_size, 0.0f, label);
            SETLIN(canvas, k_solid);
            MARKER(canvas, iw, ir, value, frame.ymin, k_plus, k_tick_size);
        });
}

void y_numbers(gfx::Canvas& canvas, int iw, int ir, float dy, const RegionFrame& frame) {
    const std::optional<AxisScale> scale = axis_scale(frame.ymin, frame.ymax);
    if (!scale) return;
    if (scale->exponent != 0) {
        SYMBOL(canvas, iw, frame.left - 6.0f, frame.top - 14.0f, k_label_size, 90.0f,
               scale_label(scale->exponent));
    }
    for_each_numbered_tick(
        Axis::y, frame.ymin, frame.ymax, dy, *scale, [&](float value, const std::string& label) {
            const float y = frame.bottom + ((frame.top - frame.bottom) * (value - frame.ymin)) /
                                               (frame.ymax - frame.ymin);
            // Kept clear of the left edge of the page.
            const float x = std::max(frame.left - 1.0f, 6.0f);
            SYMBOL(canvas, iw, x - 8.0f, y - 4.0f, k_label_size, 90.0f, label);
            SETLIN(canvas, k_solid);
            MARKER(canvas, iw, ir, frame.xmin, value, k_plus, k_tick_size);
        });
}

void vertical_grid(gfx::Canvas& canvas, int iw, int ir, float gx, int nsx,
                   const RegionFrame& frame) {
    if (nsx != 0 && nsx != 1) {
        SETLIN(canvas, k_solid);
        const float minor_step = gx / static_cast<float>(nsx);
        for_each_step(frame.xmin, frame.xmax, minor_step, [&](float value) {
            MARKER(canvas, iw, ir, value, frame.ymin, k_plus, k_minor_tick_size);
        });
    }
    SETLIN(canvas, k_dashed);
    for_each_step(frame.xmin, frame.xmax, gx,
                  [&](float value) { CONSTX(canvas, iw, ir, value, frame.ymin, frame.ymax); });
}

void horizontal_grid_and_frame(gfx::Canvas& canvas, int iw, int ir, float gy, int nsy,
                               const RegionFrame& frame) {
    if (nsy != 0 && nsy != 1) {
        SETLIN(canvas, k_solid);
        const float minor_step = gy / static_cast<float>(nsy);
        for_each_step(frame.ymin, frame.ymax, minor_step, [&](float value) {
            MARKER(canvas, iw, ir, frame.xmin, value, k_plus, k_minor_tick_size);
        });
    }
    SETLIN(canvas, k_dashed);
    for_each_step(frame.ymin, frame.ymax, gy,
                  [&](float value) { CONSTY(canvas, iw, ir, frame.xmin, frame.xmax, value); });
    // The frame goes over the grid, so its edges are solid.
    SETLIN(canvas, k_solid);
    CONSTX(canvas, iw, ir, frame.xmin, frame.ymin, frame.ymax);
    CONSTX(canvas, iw, ir, frame.xmax, frame.ymin, frame.ymax);
    CONSTY(canvas, iw, ir, frame.xmin, frame.xmax, frame.ymin);
    CONSTY(canvas, iw, ir, frame.xmin, frame.xmax, frame.ymax);
}

}  // namespace

void AXES(gfx::Canvas& canvas, int iw, int ir, float dx, float gx, int nsx, float dy, float gy,
          int nsy) {
    const RegionFrame frame = region_frame(iw, ir);
    if (dx > 0.0f) x_numbers(canvas, iw, ir, dx, frame);
    if (dy > 0.0f) y_numbers(canvas, iw, ir, dy, frame);
    if (gx > 0.0f) vertical_grid(canvas, iw, ir, gx, nsx, frame);
    if (gy > 0.0f) horizontal_grid_and_frame(canvas, iw, ir, gy, nsy, frame);
}

void CONSTX(gfx::Canvas& canvas, int iw, int ir, float x, float y1, float y2) {
    MOVE(canvas, iw, ir, x, y1, 0);
    MOVE(canvas, iw, ir, x, y2, 1);
}

void CONSTY(gfx::Canvas& canvas, int iw, int ir, float x1, float x2, float y) {
    MOVE(canvas, iw, ir, x1, y, 0);
    MOVE(canvas, iw, ir, x2, y, 1);
}

std::optional<AxisScale> axis_scale(float lower, float upper) {
    if (!std::isfinite(upper - lower) || lower == upper) return std::nullopt;
    // Unequal finite limits: the magnitude is above 0, so its logarithm is finite.
    const float magnitude = std::max(std::fabs(upper), std::fabs(lower));
    const int32_t decade = truncate_toward_zero(std::log10(magnitude));
    int32_t exponent = 0;
    if (magnitude <= 0.1f) exponent = 2 - decade;
    if (magnitude >= 1000.0f) exponent = 1 - decade;
    return AxisScale{magnitude, exponent};
}

std::string scale_label(int32_t exponent) {
    if (exponent > 0) return "*E" + textio::format_int(-int64_t{exponent}, 3);
    if (exponent < 0) return "*E+" + textio::format_int(-int64_t{exponent}, 2);
    return {};
}

void for_each_numbered_tick(
    Axis axis, float lower, float upper, float step, const AxisScale& scale,
    const std::function<void(float value, const std::string& label)>& tick_body) {
    const float end = upper + 0.01f * (upper - lower);
    for_each_step(lower, end, step, [&](float value) {
        std::string label = full_label(value, scale);
        if (axis == Axis::y) {
            label.resize(5);
        } else if (label[5] == '0') {
            label[5] = ' ';
        }
        tick_body(value, label);
    });
}

void for_each_step(float start, float end, float step,
                   const std::function<void(float)>& step_body) {
    const int32_t count = truncate_toward_zero((end - start + step) / step);
    float value = start;
    for (int32_t index = 0; index < count; ++index) {
        step_body(value);
        const float next = value + step;
        if (next == value) break;
        value = next;
    }
}

}  // namespace plot
