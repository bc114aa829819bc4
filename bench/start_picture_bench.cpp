#include <benchmark/benchmark.h>

#include <vector>

#include "app/figure_file.h"
#include "app/start_screen.h"
#include "app/trainer_window.h"
#include "exercises/picture_writer.h"
#include "exercises/random.h"
#include "gfx/headless/headless_platform.h"
#include "state/shared_state.h"

// One start-screen picture in image mode, from the grey fill to the finished picture on the
// surface: capture, compose in the buffer, put. The one-second grey pause costs nothing on the
// headless platform's virtual clock, so the time measured is the program's own work.
namespace {

void compose_and_present(benchmark::State& run) {
    gfx::HeadlessPlatform platform;
    app::prepare_trainer(platform.canvas());
    app::load_figures(state::run().figures, PELIDOR_DATA_DIR "/pelidor.sym");
    std::vector<std::byte> buffer(exercises::k_image_buffer_size);
    int32_t shown = 2;
    const int32_t size = static_cast<int32_t>(run.range(0));
    for (auto _ : run) {
        const bool complete =
            app::draw_start_picture(platform.canvas(), size, state::run().figures, shown, buffer,
                                    [](app::PollPoint) { return false; });
        benchmark::DoNotOptimize(complete);
    }
}
BENCHMARK(compose_and_present)->DenseRange(2, 9)->Unit(benchmark::kMillisecond);

}  // namespace
