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
    training.distance = 230.0f;
    training.size = 4;
    training.presented = 100;
    training.true_answers = 81;
    training.errors = 12;
    training.not_answered = 7;
    training.average_time = 1.25f;
    training.push_ups = 3;
    results::TrainingRecord unanswered = training;
    unanswered.true_answers = 0;
    unanswered.errors = 0;
    unanswered.not_answered = 100;
    unanswered.average_time = std::numeric_limits<float>::quiet_NaN();
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
