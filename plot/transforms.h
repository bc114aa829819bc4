#pragma once

#include <cstdint>

// World coordinates of a region: its limits, and the maps between world points and window
// pixels. None of these touches the window.
namespace plot {

// Stores the world limits of region ir of page iw; calling it again re-scales the region.
void LIMITS(int iw, int ir, float xmin, float xmax, float ymin, float ymax);

// World to pixel: the window pixel (ix, iy) at which the world point lies, clipped to the
// region's frame. Equal limits, a region never laid out, not-a-number and values far outside
// the limits all give a pixel on the frame.
void TMF(int iw, int ir, float x, float y, int32_t& ix, int32_t& iy);

// Pixel to world: the world point of the pixel, clamped to the world limits.
void TFM(int iw, int ir, int32_t ix, int32_t iy, float& x, float& y);

// Real to integer toward zero, the package's one conversion. It saturates instead of
// overflowing: beyond the 32-bit range it gives the nearest end, and not-a-number gives the
// most negative value.
int32_t truncate_toward_zero(float value);

// The low 16 bits of a pixel coordinate, as the platform takes it.
inline int16_t low16(int32_t value) {
    return static_cast<int16_t>(value);
}

}  // namespace plot
