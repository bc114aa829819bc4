#pragma once

#include <cstdint>

namespace gfx {

// A colour as the program passes it around: 0x00BBGGRR, red in the lowest byte.
using Colour = uint32_t;

constexpr Colour k_white = 0xFFFFFF;
constexpr Colour k_black = 0x000000;

struct Point {
    int16_t x = 0;
    int16_t y = 0;
};

// Drawing control of rectangles, ellipses and polygons.
enum class Shape { outline = 2, filled = 3 };

// Mouse event bits as the mouse callback receives them.
enum MouseEvent : int {
    k_left_down = 1,
    k_left_up = 2,
    k_left_double = 4,
    k_right_down = 8,
    k_right_up = 16,
    k_right_double = 32,
    k_mouse_move = 64,
};

// Key-state bits delivered with every mouse event: what is held after the event.
enum KeyState : int {
    k_key_left = 1,
    k_key_right = 2,
    k_key_shift = 4,
    k_key_ctrl = 8,
    k_key_middle = 16,
};

// Menu flags of append_menu.
enum MenuFlag : int {
    k_menu_grayed = 1,
    k_menu_disabled = 2,
    k_menu_enabled = 4,
    k_menu_separator = 8,
    k_menu_checked = 16,
};

// Window configuration record: -1 in a field leaves the choice to the platform.
struct WindowConfig {
    int16_t pixel_width = 0;
    int16_t pixel_height = 0;
    int16_t text_columns = 0;
    int16_t text_rows = 0;
    int16_t colours = 0;
    int32_t font_size = 0;
};

struct LocalDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct LocalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;
};

// Unit number that addresses the frame window in set_frame_geometry.
constexpr int32_t k_frame_unit = static_cast<int32_t>(0x80000000u);

}  // namespace gfx
