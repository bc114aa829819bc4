#include "plot/transforms.h"

#include <cmath>
#include <limits>

#include "plot/plot_state.h"

namespace plot {

// Equal limits and regions never laid out divide by zero; IEEE arithmetic makes that an
// infinity or not-a-number, which the saturating conversion turns into a frame edge.
static_assert(std::numeric_limits<float>::is_iec559);

void LIMITS(int iw, int ir, float xmin, float xmax, float ymin, float ymax) {
    const RegionView::WorldLimits limits = region_view(iw, ir).world;
    limits.xmin = xmin;
    limits.ymin = ymin;
    limits.xmax = xmax;
    limits.ymax = ymax;
}

void TMF(int iw, int ir, float x, float y, int32_t& ix, int32_t& iy) {
    const RegionView region = region_view(iw, ir);
    const RegionView::PixelFrame frame = region.pixels;
    const RegionView::WorldLimits limits = region.world;

    const int32_t left_column = truncate_toward_zero(frame.left);
    const int32_t right_column =
        truncate_toward_zero(static_cast<float>(left_column) + frame.width);
    const int32_t bottom_row = truncate_toward_zero(frame.bottom);
    const int32_t top_row = truncate_toward_zero(static_cast<float>(bottom_row) - frame.height);

    // Divide first, then scale: equal limits give an infinity or not-a-number here, which the
    // conversion and the clipping below turn into a frame edge.
    const float x_fraction = (x - limits.xmin) / (limits.xmax - limits.xmin);
    const float y_fraction = (y - limits.ymin) / (limits.ymax - limits.ymin);
    ix = truncate_toward_zero(frame.left + x_fraction * frame.width + 0.5f);
    iy = truncate_toward_zero(frame.bottom - y_fraction * frame.height + 0.5f);

    if (ix < left_column) ix = left_column;
    if (iy < top_row) iy = top_row;
    if (ix > right_column) ix = right_column;
    if (iy > bottom_row) iy = bottom_row;
}

void TFM(int iw, int ir, int32_t ix, int32_t iy, float& x, float& y) {
    const RegionView region = region_view(iw, ir);
    const RegionView::PixelFrame frame = region.pixels;
    const RegionView::WorldLimits limits = region.world;

    // Multiply first, then divide.
    x = limits.xmin +
        ((limits.xmax - limits.xmin) * (static_cast<float>(ix) - frame.left)) / frame.width;
    y = limits.ymin -
        ((limits.ymax - limits.ymin) * (static_cast<float>(iy) - frame.bottom)) / frame.height;

    // A region never laid out has width and height 0: its own pixel gives 0 / 0. Such a
    // point is taken as lying at the lower limits.
    if (std::isnan(x)) x = limits.xmin;
    if (std::isnan(y)) y = limits.ymin;

    if (x < limits.xmin) x = limits.xmin;
    if (y < limits.ymin) y = limits.ymin;
    if (x > limits.xmax) x = limits.xmax;
    if (y > limits.ymax) y = limits.ymax;
}

int32_t truncate_toward_zero(float value) {
    constexpr float two_to_31 = 2147483648.0f;
    if (std::isnan(value) || value < -two_to_31) return std::numeric_limits<int32_t>::min();
    if (value >= two_to_31) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace plot
