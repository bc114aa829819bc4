#include "exporter/graph_picture.h"

#include "gfx/canvas.h"
#include "gfx/headless/headless_platform.h"
#include "gfx/offscreen_text.h"
#include "gfx/png_image.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "results/progress_graph.h"

namespace exporter {

namespace {

// The program's graphics window, which the graph fills: unit 1, its size and its title.
constexpr int k_unit = 1;
constexpr int k_window_height = 650;
constexpr int k_window_width = 980;
constexpr const char* k_window_title = "Trainer for eyes";

}  // namespace

std::string graph_png(const std::string& log_path) {
    const gfx::OffscreenText text("pelidor-export");
    // The graph draws on the same canvas as in the window, on the headless platform: the
    // pixels are those the window shows.
    gfx::HeadlessPlatform platform;
    std::string png;
    platform.run(nullptr, [&](gfx::Canvas& canvas) {
        plot::PAGE(canvas, k_unit, k_window_height, k_window_width, k_window_title);
        plot::SETCOL(canvas, 7);
        canvas.initialize_fonts();
        results::draw_progress_graph(canvas, log_path);
        png = gfx::encode_png(*canvas.surface(k_unit));
    });
    return png;
}

}  // namespace exporter
