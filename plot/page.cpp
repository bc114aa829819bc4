#include "plot/page.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "gfx/platform.h"
#include "plot/plot_state.h"
#include "plot/transforms.h"

namespace plot {

namespace {

constexpr float k_page_width = 240.0f;
constexpr float k_page_height = 180.0f;
constexpr gfx::Colour k_page_background = 0xFFFFFF;

void install_default_colours() {
    for (int component = 1; component <= k_components; ++component) {
        for (int colour = 1; colour <= k_default_colours; ++colour) {
            coldim(component, colour) = col0(component, colour);
        }
    }
}

void stroke(gfx::Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    canvas.move_to(low16(x1), low16(y1));
    canvas.line_to(low16(x2), low16(y2));
}

}  // namespace

void PAGE(gfx::Canvas& canvas, int iw, int nypix, int nxpix, std::string title) {
    canvas.open_child(iw, std::move(title));

    // The record keeps the font size the platform corrected at earlier calls; the sizes and the
    // "platform chooses" fields are set each time. A refused record is corrected in place by
    // the platform, so one more submission takes it.
    state::PlotTables& plot_tables = tables();
    gfx::WindowConfig config;
    config.pixel_width = static_cast<int16_t>(nxpix);
    config.pixel_height = static_cast<int16_t>(nypix);
    config.text_columns = -1;
    config.text_rows = -1;
    config.colours = -1;
    config.font_size = plot_tables.page_font_size;
    plot_tables.page_config_status = canvas.set_window_config(config);
    if (!plot_tables.page_config_status) {
        plot_tables.page_config_status = canvas.set_window_config(config);
    }
    plot_tables.page_font_size = config.font_size;

    const PageView page = page_view(iw);
    page.page_width = k_page_width;
    page.page_height = k_page_height;
    page.window_width = static_cast<float>(nxpix);
    page.window_height = static_cast<float>(nypix);

    if (plot_tables.page_calls < std::numeric_limits<int32_t>::max()) ++plot_tables.page_calls;
    if (plot_tables.page_calls == 1) install_default_colours();

    if (iw == 1) canvas.platform().tile_children();
    canvas.set_background_colour(k_page_background);
    canvas.clear_screen();
}

void REGION(gfx::Canvas& canvas, int iw, int ir, float x0, float y0, float w, float h) {
    const bool active = ACTIV(canvas, iw, 0);

    const PageView page = page_view(iw);
    const float page_width = page.page_width;
    const float page_height = page.page_height;
    const float window_width = page.window_width;
    const float window_height = page.window_height;

    // The left edge scales by the window width, the width and both rows by one pixel less, so
    // a region over the whole page ends on the last column and row.
    const int32_t left = truncate_toward_zero((x0 * window_width) / page_width);
    const int32_t right =
        truncate_toward_zero(static_cast<float>(left) + (w * (window_width - 1.0f)) / page_width);
    const int32_t bottom =
        truncate_toward_zero(((page_height - y0) * (window_height - 1.0f)) / page_height);
    const int32_t top = truncate_toward_zero(static_cast<float>(bottom) -
                                             (h * (window_height - 1.0f)) / page_height);

    const RegionView region = region_view(iw, ir);
    region.pixels.left = static_cast<float>(left);
    region.pixels.bottom = static_cast<float>(bottom);
    region.pixels.width = static_cast<float>(int64_t{right} - left);
    region.pixels.height = static_cast<float>(int64_t{bottom} - top);
    region.page.left = x0;
    region.page.bottom = y0;
    region.page.right = w + x0;
    region.page.top = h + y0;

    if (!active) return;
    stroke(canvas, left, bottom, left, top);
    stroke(canvas, left, top, right, top);
    stroke(canvas, right, top, right, bottom);
    stroke(canvas, right, bottom, left, bottom);
}

bool ACTIV(gfx::Canvas& canvas, int iw, int ifoc) {
    bool done = true;
    if (iw != 0) {
        bool activated = false;
        for (int attempt = 0; attempt < k_activation_attempts && !activated; ++attempt) {
            activated = canvas.set_active(iw);
        }
        done = activated;
    }
    if (ifoc != 0) {
        bool focused = false;
        for (int attempt = 0; attempt < k_activation_attempts && !focused; ++attempt) {
            focused = canvas.set_focus(ifoc);
        }
        done = done && focused;
    }
    return done;
}

}  // namespace plot
