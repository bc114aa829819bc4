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

void x_numbers(gfx::Canvas& canvas, int iw, int ir, float dx, const RegionView& region) {
    const std::optional<AxisScale> scale = axis_scale(region.world.xmin, region.world.xmax);
    if (!scale) return;
    if (scale->exponent != 0) {
        SYMBOL(canvas, iw, region.page.right - 17.0f, region.page.bottom, k_label_size, 0.0f,
               scale_label(scale->exponent));
    }
    for_each_numbered_tick(
        Axis::x, region.world.xmin, region.world.xmax, dx, *scale,
        [&](float value, const std::string& label) {
            const float x = region.page.left +
                            ((region.page.right - region.page.left) * (value - region.world.xmin)) /
                                (region.world.xmax - region.world.xmin);
            // Kept clear of the bottom of the page.
            const float y = std::max(region.page.bottom - 1.0f, 6.0f);
            SYMBOL(canvas, iw, x - 9.0f, y + 2.0f, k_label_size, 0.0f, label);
            SETLIN(canvas, k_solid);
            MARKER(canvas, iw, ir, value, region.world.ymin, k_plus, k_tick_size);
        });
}

void y_numbers(gfx::Canvas& canvas, int iw, int ir, float dy, const RegionView& region) {
    const std::optional<AxisScale> scale = axis_scale(region.world.ymin, region.world.ymax);
    if (!scale) return;
    if (scale->exponent != 0) {
        SYMBOL(canvas, iw, region.page.left - 6.0f, region.page.top - 14.0f, k_label_size, 90.0f,
               scale_label(scale->exponent));
    }
    for_each_numbered_tick(
        Axis::y, region.world.ymin, region.world.ymax, dy, *scale,
        [&](float value, const std::string& label) {
            const float y = region.page.bottom +
                            ((region.page.top - region.page.bottom) * (value - region.world.ymin)) /
                                (region.world.ymax - region.world.ymin);
            // Kept clear of the left edge of the page.
            const float x = std::max(region.page.left - 1.0f, 6.0f);
            SYMBOL(canvas, iw, x - 8.0f, y - 4.0f, k_label_size, 90.0f, label);
            SETLIN(canvas, k_solid);
            MARKER(canvas, iw, ir, region.world.xmin, value, k_plus, k_tick_size);
        });
}

void vertical_grid(gfx::Canvas& canvas, int iw, int ir, float gx, int nsx,
                   const RegionView& region) {
    if (nsx != 0 && nsx != 1) {
        SETLIN(canvas, k_solid);
        const float minor_step = gx / static_cast<float>(nsx);
        for_each_step(region.world.xmin, region.world.xmax, minor_step, [&](float value) {
            MARKER(canvas, iw, ir, value, region.world.ymin, k_plus, k_minor_tick_size);
        });
    }
    SETLIN(canvas, k_dashed);
    for_each_step(region.world.xmin, region.world.xmax, gx, [&](float value) {
        CONSTX(canvas, iw, ir, value, region.world.ymin, region.world.ymax);
    });
}

void horizontal_grid_and_frame(gfx::Canvas& canvas, int iw, int ir, float gy, int nsy,
                               const RegionView& region) {
    if (nsy != 0 && nsy != 1) {
        SETLIN(canvas, k_solid);
        const float minor_step = gy / static_cast<float>(nsy);
        for_each_step(region.world.ymin, region.world.ymax, minor_step, [&](float value) {
            MARKER(canvas, iw, ir, region.world.xmin, value, k_plus, k_minor_tick_size);
        });
    }
    SETLIN(canvas, k_dashed);
    for_each_step(region.world.ymin, region.world.ymax, gy, [&](float value) {
        CONSTY(canvas, iw, ir, region.world.xmin, region.world.xmax, value);
    });
    // The frame goes over the grid, so its edges are solid.
    SETLIN(canvas, k_solid);
    CONSTX(canvas, iw, ir, region.world.xmin, region.world.ymin, region.world.ymax);
    CONSTX(canvas, iw, ir, region.world.xmax, region.world.ymin, region.world.ymax);
    CONSTY(canvas, iw, ir, region.world.xmin, region.world.xmax, region.world.ymin);
    CONSTY(canvas, iw, ir, region.world.xmin, region.world.xmax, region.world.ymax);
}

}  // namespace

void AXES(gfx::Canvas& canvas, int iw, int ir, float dx, float gx, int nsx, float dy, float gy,
          int nsy) {
    const RegionView region = region_view(iw, ir);
    if (dx > 0.0f) x_numbers(canvas, iw, ir, dx, region);
    if (dy > 0.0f) y_numbers(canvas, iw, ir, dy, region);
    if (gx > 0.0f) vertical_grid(canvas, iw, ir, gx, nsx, region);
    if (gy > 0.0f) horizontal_grid_and_frame(canvas, iw, ir, gy, nsy, region);
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
