#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "results/results_log.h"

// Log lines as the exercises write them, for the tests of the log's readers.
namespace results_test {

inline std::string sight_line(results::TimeStamp stamp, float AOV, float DIST = 200.0f) {
    return results::format_record(results::SightCheckRecord{stamp, DIST, 15.6f, 1080, 1920, AOV});
}

inline std::string training_line(results::TimeStamp stamp, float DIST, int32_t Is, int32_t NVOL,
                                 float TAV, int32_t NPUP) {
    results::TrainingRecord record;
    record.stamp = stamp;
    record.DIST = DIST;
    record.Is = Is;
    record.NVOL = NVOL;
    record.NTRUE = NVOL / 2;
    record.NERR = NVOL / 4;
    record.NNOANS = NVOL - NVOL / 2 - NVOL / 4;
    record.TAV = TAV;
    record.NPUP = NPUP;
    return results::format_record(record);
}

// The text of a log file: the header, then the lines, each ending in CR LF.
inline std::string log_text(std::initializer_list<std::string> lines) {
    std::string text = results::log_header() + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace results_test
