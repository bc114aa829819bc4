#pragma once

#include <array>
#include <cstdint>

#include "state/shared_state.h"

// The state of the plotting package: its tables live in the run (state::run().plot), where
// everything starts at zero.
//
// The tables keep their 1-based indices through the accessors below, first index varying
// fastest in memory. An index outside a table's size throws std::out_of_range rather than
// reaching memory beyond it.
namespace plot {

inline constexpr int k_unit_count = state::PlotTables::units;
inline constexpr int k_page_slots = state::PlotTables::page_slots;
inline constexpr int k_region_slots = state::PlotTables::region_slots;
inline constexpr int k_region_count = state::PlotTables::regions;
inline constexpr int k_components = state::PlotTables::components;
inline constexpr int k_default_colours = 16;
inline constexpr int k_colour_columns = state::PlotTables::colour_columns;

// The 16 default colours as red, green, blue fractions, for colour indices 0 to 15.
// clang-format off
inline constexpr std::array<float, k_components * k_default_colours> COL0{
    1.0f,  1.0f,  1.0f,    // 0 white
    1.0f,  0.0f,  0.5f,    // 1
    0.9f,  0.7f,  0.0f,    // 2
    0.0f,  0.7f,  0.0f,    // 3
    0.0f,  0.0f,  1.0f,    // 4 blue
    1.0f,  0.0f,  1.0f,    // 5
    0.0f,  0.8f,  0.9f,    // 6
    0.0f,  0.0f,  0.0f,    // 7 black
    0.35f, 0.35f, 0.35f,   // 8
    1.0f,  0.0f,  0.0f,    // 9 red
    0.5f,  0.5f,  0.0f,    // 10
    0.0f,  0.5f,  0.0f,    // 11
    0.0f,  0.5f,  0.5f,    // 12
    0.0f,  0.0f,  1.0f,    // 13
    1.0f,  0.0f,  1.0f,    // 14
    1.0f,  1.0f,  1.0f,    // 15
};
// clang-format on

// The run's tables of the plotting package.
inline state::PlotTables& tables() {
    return state::run().plot;
}

// 1-based accessors.
float& gr1(int iw, int slot);
float& gr2(int iw, int slot, int ir);
float col0(int component, int colour);
float& coldim(int component, int column);

// Page iw's row of GR1 by name: each member refers to its slot. PAGE records it.
struct PageView {
    float& page_width;  // in page units
    float& page_height;
    float& window_width;  // in pixels
    float& window_height;
};
PageView page_view(int iw);

// Region ir of page iw by name: each member refers to its slot of GR2, so the view reads and
// writes the table itself. REGION lays out the two frames, LIMITS sets the world limits.
struct RegionView {
    // In window pixels: the left column and bottom row, and the width and height.
    struct PixelFrame {
        float& left;
        float& bottom;
        float& width;
        float& height;
    };
    // In world units, at the frame's lower-left and upper-right corners.
    struct WorldLimits {
        float& xmin;
        float& ymin;
        float& xmax;
        float& ymax;
    };
    // In page units of the 240 by 180 page.
    struct PageFrame {
        float& left;
        float& bottom;
        float& right;
        float& top;
    };
    PixelFrame pixels;
    WorldLimits world;
    PageFrame page;
};
RegionView region_view(int iw, int ir);

}  // namespace plot
