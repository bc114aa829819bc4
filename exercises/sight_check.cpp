#include "exercises/sight_check.h"

#include <optional>
#include <string>

#include "exercises/landolt_ring.h"
#include "exercises/sight_check_trial.h"
#include "gfx/platform.h"
#include "results/results_log.h"
#include "state/mouse_protocol.h"
#include "state/shared_state.h"
#include "textio/fields.h"

namespace exercises {

namespace {

constexpr gfx::Colour k_blue = 0xFF0000;
const std::string k_label_font = "t'Times New Roman Cyr'h38w17ib";
const std::string k_result_font = "t'Times New Roman Cyr'h120w40ib";

// Bisection over the acuity table: the highest level seen, or nothing when the check was
// abandoned or the parameters cannot size a ring. Both buttons also clear the mouse state so
// that the start screen does not take them as its own exit gesture.
std::optional<float> search_acuity(gfx::Canvas& canvas, int32_t W, int32_t H) {
    const state::Parameters& screen = state::run().parameters;
    int low = 1;
    int high = k_acuity_levels;
    int probe = 2;
    while (true) {
        const LevelVerdict verdict =
            TESTSTR(canvas, TOZ(probe), screen.DIST, screen.DIAG, W, H, screen.NX, screen.NY);
        if (state::both_buttons()) {
            state::wait_until_released(canvas.platform());
            state::store(state::run().MBUTTON, 0);
            state::store(state::run().MEVENT, 0);
            state::store(state::run().MDOWN, 0);
            return std::nullopt;
        }
        if (state::request_pending()) return std::nullopt;
        if (verdict == LevelVerdict::abandoned || verdict == LevelVerdict::no_ring) {
            return std::nullopt;
        }
        if (verdict == LevelVerdict::not_seen) {
            if (probe <= low + 1) return TOZ(low);
            high = probe;
        } else {
            if (probe >= high - 1) return TOZ(probe);
            low = probe;
        }
        probe = low + (high - low) / 2;
    }
}

// The result in blue over the last ring.
void show_result(gfx::Canvas& canvas, float AOV) {
    canvas.set_colour(k_blue);
    canvas.set_font(k_label_font);
    canvas.move_to(200, 250);
    canvas.out_text("Visual acuity");
    canvas.set_font(k_result_font);
    canvas.move_to(500, 185);
    canvas.out_text(textio::format_fixed(AOV, 4, 1));
    canvas.set_font(k_label_font);
    canvas.move_to(60, 550);
    canvas.out_text("For continuation press any mouse button");
}

}  // namespace

void EVETEST(gfx::Canvas& canvas, int32_t& NXW, int32_t& NYW) {
    const std::optional<float> AOV = search_acuity(canvas, NXW, NYW);
    if (!AOV) return;
    results::append_sight_check(canvas, *AOV);
    show_result(canvas, *AOV);
    state::wait_for_press(canvas.platform());
}

}  // namespace exercises
