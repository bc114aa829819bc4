#pragma once

#include <string>

#include "gfx/surface.h"

namespace gfx {

// The surface's pixels as the bytes of a PNG file: 8-bit RGB, one pixel per surface pixel.
std::string encode_png(const Surface& surface);

}  // namespace gfx
