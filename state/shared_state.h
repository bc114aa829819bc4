#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace state {

// ---- parameters: set once at start-up by the parameters dialog, read by the exercises.
struct Parameters {
    float DIST = 0;    // cm from the eyes to the screen
    float DIAG = 0;    // inches, screen diagonal
    int32_t NX = 0;    // screen pixels across
    int32_t NY = 0;    // screen pixels down
    int32_t NVOL = 0;  // presentations in one training run
    float TANS = 0;    // seconds allowed for one answer
};

// The mouse variables are read and written only through these: release stores and acquire
// loads.
inline void store(std::atomic<int32_t>& variable, int32_t value) {
    variable.store(value, std::memory_order_release);
}
inline int32_t load(const std::atomic<int32_t>& variable) {
    return variable.load(std::memory_order_acquire);
}

// Request codes of MODEREQ.
constexpr int32_t k_no_request = 0;
constexpr int32_t k_sight_check_request = 1;
constexpr int32_t k_graph_request = 3;

// ---- figure tables, filled once at start-up from the figure file.
constexpr int k_figures = 9;
constexpr int k_max_points = 10000;

struct FigureTables {
    int32_t NOTDIM[k_figures] = {};  // NOTDIM(i) is NOTDIM[i - 1]: points of figure i
    // IJNOT(j, k, i), j = 1..10000 point, k = 1 row offset / 2 column offset, i = 1..9 figure,
    // the first index varying fastest.
    std::vector<int32_t> IJNOT = std::vector<int32_t>(k_max_points * 2 * k_figures, 0);

    int32_t count(int figure) const { return NOTDIM[figure - 1]; }
    int32_t& count(int figure) { return NOTDIM[figure - 1]; }
    int32_t& ijnot(int point, int k, int figure) { return IJNOT[index(point, k, figure)]; }
    int32_t ijnot(int point, int k, int figure) const { return IJNOT[index(point, k, figure)]; }
    int32_t row(int point, int figure) const { return ijnot(point, 1, figure); }
    int32_t column(int point, int figure) const { return ijnot(point, 2, figure); }

  private:
    static std::size_t index(int point, int k, int figure) {
        return static_cast<std::size_t>((point - 1) + k_max_points * ((k - 1) + 2 * (figure - 1)));
    }
};

// The state of one of the two random generators.
struct GeneratorState {
    double modulus = 2147483647.0;
    double value = 1.2147483825683594;  // the single-precision 1.2147484, widened
    double scale = 2147483648.0;
};

// The tables of the plotting package, which keeps their indices 1-based (plot/plot_state.h).
struct PlotTables {
    static constexpr int units = 100;
    static constexpr int page_slots = 4;
    static constexpr int region_slots = 12;
    static constexpr int regions = 20;
    static constexpr int components = 3;
    static constexpr int colour_columns = 106;  // colour indices 0 to 105

    // Page table, per unit: page width and height in page units, window width and height in
    // pixels.
    std::array<float, units * page_slots> GR1{};
    // Region table, per unit, slot and region: the pixel frame (slots 1 to 4), the world limits
    // (5 to 8) and the page frame (9 to 12).
    std::array<float, units * region_slots * regions> GR2{};
    // Working colour table: column j holds colour index j - 1.
    std::array<float, components * colour_columns> COLDIM{};
    // Current colour index, written only by SETCOL.
    int32_t ICOL = 0;

    // PAGE's own items: the font size of its window record, which the platform corrects when it
    // cannot take it and which every later record keeps; the status the platform last returned
    // for the record; and how many times PAGE has run.
    int32_t page_font_size = 0;
    bool page_config_status = false;
    int32_t page_calls = 0;
};

// A training answer, correct or wrong, with its time at full precision, as an answer listener
// hears it.
struct TimedAnswer {
    bool correct = false;
    float seconds = 0;
};
using AnswerListener = std::function<void(const TimedAnswer& answer)>;

// Everything process-wide of one run of the program, in one value. The program's run is made
// before the program starts and lives until the process ends; a test starts a fresh one.
struct Run {
    // ---- parameters: set once at start-up by the parameters dialog, read by the exercises.
    Parameters parameters;

    // ---- figure tables, filled once at start-up from the figure file.
    FigureTables figures;

    // ---- graphics window size in pixels, read once at start-up.
    int16_t NXW = 0;
    int16_t NYW = 0;

    // ---- mouse state and requests: written by the window thread's callbacks, polled by the
    // program thread. Store with store(), read with load(): release stores and acquire loads,
    // so a consumer that sees MEVENT = 1 also sees the MBUTTON and MDOWN stored before it.
    std::atomic<int32_t> MBUTTON{0};  // latched button code of the presses seen so far
    std::atomic<int32_t> MEVENT{0};   // 1 when a press event arrived since last cleared
    std::atomic<int32_t> MDOWN{0};    // button code of the latest event; 0 when all are up
    std::atomic<int32_t> MODEREQ{0};  // 0 nothing, 1 sight check, 3 progress graph
    // When the latest press happened, on the clock of clock_seconds(), as the platform stamped
    // it; NaN before the first press and for a press without a usable stamp. Stored (release)
    // before the press's MEVENT, so a poll that has seen MEVENT reads (acquire) the moment of
    // that press or of a later one.
    std::atomic<double> press_seconds{std::numeric_limits<double>::quiet_NaN()};

    // ---- the plotting package's tables.
    PlotTables plot;

    // ---- the random generators: RAN11 places every stimulus, RAN2 serves RAN, which skips
    // ahead once, on its first call.
    GeneratorState RAN11_state;
    GeneratorState RAN2_state;
    bool RAN_started = false;

    // ---- set by the parameters dialog's buttons: 1 when "Begin the training" closed it.
    int32_t IBEGIN = 0;

    // ---- for the benchmarks, which read the answer times through it where the results log
    // rounds them to 10 ms: called on the program thread with every training answer once its
    // feedback is over. None in a fresh run; set it before the program runs.
    AnswerListener answer_listener;
};

// The run in progress.
Run& run();

// Replaces the run in progress by a fresh one, as at process start: for tests that run the
// program more than once in one process. No other thread may be using the old one.
void start_run();

}  // namespace state
