#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gfx {

// A font request as the option string of set_font describes it:
// t'face' typeface, hN character height and wN average character width in pixels,
// i italic, b best fit. Letters are case-insensitive.
struct FontSpec {
    std::string face;
    int height = 0;
    int width = 0;
    bool italic = false;
    bool best_fit = false;
};

// Parses an option string; nullopt when it holds something the platform does not know.
std::optional<FontSpec> parse_font_options(std::string_view options);

}  // namespace gfx
