#include "state/shared_state.h"

#include <optional>

namespace state {

namespace {

// The one process-wide variable: the run in progress. A fresh run is made in the same place,
// so whatever refers to the run's parts goes on referring to the run in progress.
std::optional<Run>& current_run() {
    static std::optional<Run> current{std::in_place};
    return current;
}

}  // namespace

Run& run() {
    return *current_run();
}

void start_run() {
    current_run().emplace();
}

}  // namespace state
