#pragma once

#include <array>
#include <cstdint>

#include "gfx/types.h"

// The process-wide state of the plotting package. Everything starts at zero, and the program
// never resets it; reset_state exists for tests only.
//
// The tables keep their 1-based indices through the accessors below, first index varying
// fastest in memory. An index outside a table's size throws std::out_of_range rather than
// reaching memory beyond it.
namespace plot {

inline constexpr int k_unit_count = 100;
inline constexpr int k_page_slots = 4;
inline constexpr int k_region_slots = 12;
inline constexpr int k_region_count = 20;
inline constexpr int k_components = 3;
inline constexpr int k_default_colours = 16;
inline constexpr int k_colour_columns = 106;  // colour indices 0 to 105

// Page table, per unit: page width and height in page units, window width and height in pixels.
inline std::array<float, k_unit_count * k_page_slots> GR1{};

// Region table, per unit, slot and region: the pixel frame (slots 1 to 4), the world limits
// (5 to 8) and the page frame (9 to 12).
inline std::array<float, k_unit_count * k_region_slots * k_region_count> GR2{};

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

// Working colour table: column j holds colour index j - 1.
inline std::array<float, k_components * k_colour_columns> COLDIM{};

// Current colour index, written only by SETCOL.
inline int32_t ICOL = 0;

// PAGE's own items: the window configuration record it reuses, the status the service last
// returned for it, and how many times PAGE has run.
inline gfx::WindowConfig page_config{};
inline bool page_config_status = false;
inline int32_t page_calls = 0;

// 1-based accessors.
float& gr1(int iw, int slot);
float& gr2(int iw, int slot, int ir);
float col0(int component, int colour);
float& coldim(int component, int column);

// Back to the state at program start.
void reset_state();

}  // namespace plot
