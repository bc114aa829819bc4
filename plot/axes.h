#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gfx/canvas.h"

// Coordinate furniture of a region: numbered ticks along the bottom and the left edge, minor
// ticks, a dashed grid and a solid frame, and single lines at world coordinates.
namespace plot {

// dx, dy: world distance between numbered ticks (0 or less: none); gx, gy: distance between
// grid lines (0 or less: none, and no minor ticks); nsx, nsy: minor ticks per grid step (0 or 1:
// none). A horizontal grid also brings the solid frame. Numbers are left out on an axis whose
// limits are equal, both 0, or not finite.
void AXES(gfx::Canvas& canvas, int iw, int ir, float dx, float gx, int nsx, float dy, float gy,
          int nsy);

// The line x = x from y1 to y2, in world coordinates of region ir.
void CONSTX(gfx::Canvas& canvas, int iw, int ir, float x, float y1, float y2);

// The line y = y from x1 to x2.
void CONSTY(gfx::Canvas& canvas, int iw, int ir, float x1, float x2, float y);

// ---- the numbers of an axis, apart from drawing them

enum class Axis { x, y };

// The largest magnitude of an axis' limits, and the power of ten its labels are scaled by
// (0: none) when that magnitude is very large or very small.
struct AxisScale {
    float magnitude = 0.0f;
    int32_t exponent = 0;
};

// Nothing when the axis has no defined scale: equal limits, both 0, or limits (or the length
// between them) not finite.
std::optional<AxisScale> axis_scale(float lower, float upper);

// The 5-character label naming the scale ("*E -3" for exponent 3, "*E+ 2" for -2); empty for
// exponent 0.
std::string scale_label(int32_t exponent);

// Calls `tick_body` with the value and the label text of every numbered tick of an axis from
// `lower` to `upper` every `step`, as AXES draws them. The ticks run on to 1 % of the axis
// length past the upper limit. An x label has 6 characters, its last one blanked when it is
// "0"; a y label is the first 5 of the 6.
void for_each_numbered_tick(
    Axis axis, float lower, float upper, float step, const AxisScale& scale,
    const std::function<void(float value, const std::string& label)>& tick_body);

// Calls `step_body` with start, start + step, ... as often as (end - start + step) / step,
// truncated, says. The count is taken once, before the first step. Once adding the step no
// longer changes the value, the remaining steps would repeat the last one exactly, so the loop
// ends there.
void for_each_step(float start, float end, float step, const std::function<void(float)>& step_body);

}  // namespace plot
