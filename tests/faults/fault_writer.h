#pragma once

#include <limits>
#include <string>
#include <vector>

#include "params/parameter_file.h"
#include "results/results_log.h"

// What the fault writer writes, shared with the tests that check what it left behind.
namespace faults {

// A sight check (80 characters) and two trainings (115), one with no average time.
inline std::vector<std::string> record_lines() {
    results::TrainingRecord training;
    training.stamp = {7, 4, 2011, 18, 5, 42};
    training.DIST = 230.0f;
    training.Is = 4;
    training.NVOL = 100;
    training.NTRUE = 81;
    training.NERR = 12;
    training.NNOANS = 7;
    training.TAV = 1.25f;
    training.NPUP = 3;
    results::TrainingRecord unanswered = training;
    unanswered.NTRUE = 0;
    unanswered.NERR = 0;
    unanswered.NNOANS = 100;
    unanswered.TAV = std::numeric_limits<float>::quiet_NaN();
    return {
        results::format_record(
            results::SightCheckRecord{{6, 4, 2011, 9, 30, 0}, 200.0f, 15.6f, 1080, 1920, 0.8f}),
        results::format_record(training),
        results::format_record(unanswered),
    };
}

// The two parameter sets the writer saves in turn.
inline state::Parameters old_parameters() {
    return params::default_parameters();
}
inline state::Parameters new_parameters() {
    return state::Parameters{345.5f, 23.8f, 2560, 1440, 150, 2.5f};
}

}  // namespace faults
