// The program as it ships, which also writes every training answer's time at full precision
// to its standard output as "answer_seconds S" lines; the results log rounds the times to
// 10 ms. bench/answer_timing_bench.sh runs it to time the answers from outside.

#include <cstdio>

#include "app/main_program.h"
#include "app/menus.h"
#include "gfx/qt/qt_program.h"
#include "state/shared_state.h"

int main(int argc, char** argv) {
    // Called on the program thread once the answer's feedback is over, so the timing of the
    // answer is not touched.
    state::run().answer_listener = [](const state::TimedAnswer& answer) {
        std::printf("answer_seconds %.6f\n", static_cast<double>(answer.seconds));
        std::fflush(stdout);
    };
    gfx::run_qt_program(
        argc, argv, [](gfx::Canvas& canvas) { return app::INITIALSETTINGS(canvas); },
        [](gfx::Canvas& canvas) { app::main_program(canvas); });
}
