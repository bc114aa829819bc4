#pragma once

#include <atomic>
#include <cstdint>
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
inline Parameters parameters;

// ---- mouse state and requests: written by the window thread's callbacks, polled by the
// program thread. Store with store(), read with load(): release stores and acquire loads, so
// a consumer that sees MEVENT = 1 also sees the MBUTTON and MDOWN stored before it.
inline std::atomic<int32_t> MBUTTON{0};  // latched button code of the presses seen so far
inline std::atomic<int32_t> MEVENT{0};   // 1 when a press event arrived since last cleared
inline std::atomic<int32_t> MDOWN{0};    // button code of the latest event; 0 when all are up
inline std::atomic<int32_t> MODEREQ{0};  // 0 nothing, 1 sight check, 3 progress graph

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

// ---- graphics window size in pixels, read once at start-up.
inline int16_t NXW = 0;
inline int16_t NYW = 0;

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
inline FigureTables figures;

// Puts every shared variable back to its value at process start (for tests that run the
// program more than once in one process).
void reset_all();

}  // namespace state
