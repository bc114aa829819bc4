#include "bench/training_screen.h"

#include <limits>

#include "bench/monotonic.h"

namespace bench {

namespace {

constexpr int k_bar_rows = 10;
constexpr int k_stimulus_top = 20;

bool bar_corner(const ScreenPicture& screen, int x, int y) {
    if (y + 2 * k_bar_rows > screen.height) return false;
    if (x > 0 && screen.at(x - 1, y) == k_progress_to_do) return false;
    if (y > 0 && screen.at(x, y - 1) == k_progress_to_do) return false;
    return screen.at(x, y) == k_progress_to_do &&
           screen.at(x, y + k_bar_rows - 1) == k_progress_to_do &&
           screen.at(x, y + k_bar_rows) == k_signal_idle &&
           screen.at(x, y + 2 * k_bar_rows - 1) == k_signal_idle;
}

// The grey level of a pixel, or -1 for a coloured one.
int level(Rgb pixel) {
    return pixel.red == pixel.green && pixel.green == pixel.blue ? pixel.red : -1;
}

}  // namespace

std::optional<ScreenPoint> find_surface(const ScreenPicture& screen) {
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (bar_corner(screen, x, y)) return ScreenPoint{x, y};
        }
    }
    return std::nullopt;
}

ScreenPoint signal_point(ScreenPoint surface) {
    return ScreenPoint{surface.x + k_surface_width / 2, surface.y + k_bar_rows + k_bar_rows / 2};
}

bool figure_on_right(XScreen& screen, ScreenPoint surface) {
    const ScreenPicture stimulus = screen.read(surface.x, surface.y + k_stimulus_top,
                                               k_surface_width, k_surface_height - k_stimulus_top);
    int left = 0;
    int right = 0;
    for (int y = 2; y + 1 < stimulus.height; y += 2) {
        for (int x = 2; x + 2 < stimulus.width; x += 3) {
            const int here = level(stimulus.at(x, y));
            if (here < 0 || here != level(stimulus.at(x, y + 1))) continue;
            ++(x < k_surface_width / 2 ? left : right);
        }
    }
    return right > left;
}

std::optional<SeenChange> wait_for_colour(XScreen& screen, ScreenPoint where, Rgb colour,
                                          int64_t timeout_ns, int64_t interval_ns) {
    const int64_t start = monotonic_ns();
    std::optional<int64_t> previous;
    for (;;) {
        const int64_t before = monotonic_ns();
        const Rgb seen = screen.pixel(where.x, where.y);
        // The server reads the pixel when it comes to the request, which may wait behind a
        // large picture being drawn, and answers at once: the moment of the reading is the
        // reply's arrival rather than the request's sending.
        const int64_t sampled = monotonic_ns();
        if (seen == colour) {
            // Shown at the first read already: when it changed is not known.
            if (!previous) return SeenChange{sampled, std::numeric_limits<int64_t>::max()};
            return SeenChange{*previous + (sampled - *previous) / 2, sampled - *previous};
        }
        previous = sampled;
        if (sampled - start > timeout_ns) return std::nullopt;
        sleep_until_ns(before + interval_ns);
    }
}

}  // namespace bench
