#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "results/results_log.h"

// Log lines as the exercises write them, for the tests of the log's readers.
namespace results_test {

inline std::string sight_line(results::TimeStamp stamp, float acuity, float distance = 200.0f) {
    return results::format_record(
        results::SightCheckRecord{stamp, distance, 15.6f, 1080, 1920, acuity});
}

inline std::string training_line(results::TimeStamp stamp, float distance, int32_t size,
                                 int32_t presented, float average_time, int32_t push_ups) {
    results::TrainingRecord record;
    record.stamp = stamp;
    record.distance = distance;
    record.size = size;
    record.presented = presented;
    record.true_answers = presented / 2;
    record.errors = presented / 4;
    record.not_answered = presented - presented / 2 - presented / 4;
    record.average_time = average_time;
    record.push_ups = push_ups;
    return results::format_record(record);
}

// The text of a log file: the header, then the lines, each ending in CR LF.
inline std::string log_text(std::initializer_list<std::string> lines) {
    std::string text = results::log_header() + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace results_test
