#include <benchmark/benchmark.h>

#include "app/figure_file.h"
#include "app/trainer_window.h"
#include "exercises/training_frame.h"
#include "gfx/headless/headless_platform.h"
#include "state/shared_state.h"

// One training frame on the headless platform, from the start of its drawing to the finished
// stimulus on the surface. On the full 980 × 650 window the frame takes the image path
// (composed in memory, put in one step, after a grey second that costs nothing on the virtual
// clock); on any other window it takes the direct path, drawn row by row and point by point.
namespace {

void draw_frames(benchmark::State& run, int16_t width, int16_t height) {
    gfx::HeadlessPlatform platform;
    app::prepare_trainer(platform.canvas(), {}, {width, height});
    state::FigureTables figures;
    app::load_figures(figures, PELIDOR_DATA_DIR "/pelidor.sym");
    exercises::FrameDrawer frames(platform.canvas(), width, height);
    const auto size = static_cast<int32_t>(run.range(0));
    for (auto _ : run) {
        const auto placement = frames.draw(size, figures);
        benchmark::DoNotOptimize(placement);
    }
    run.SetLabel(frames.image_path() ? "image path" : "direct path");
}

void image_path(benchmark::State& run) {
    draw_frames(run, 980, 650);
}

// One column narrower than the full window, which is enough to leave the image path.
void direct_path(benchmark::State& run) {
    draw_frames(run, 979, 650);
}

BENCHMARK(image_path)->DenseRange(2, 9)->Unit(benchmark::kMillisecond);
BENCHMARK(direct_path)->DenseRange(2, 9)->Unit(benchmark::kMillisecond);

}  // namespace
