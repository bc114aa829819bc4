#pragma once

#include <cstdint>
#include <variant>

// The two records of the results log, as the exercises write them and the readers give them
// back. A value that the exercise or the shared parameters name keeps that name here.
namespace results {

// Date and time at which an exercise ended.
struct TimeStamp {
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// Written by the sight check: the screen it was made on and the acuity it found.
struct SightCheckRecord {
    TimeStamp stamp;
    float DIST = 0;  // cm
    float DIAG = 0;  // inches
    int32_t NY = 0;
    int32_t NX = 0;
    float AOV = 0;
};

// Written by the training: its figure size, its volume and how it went.
struct TrainingRecord {
    TimeStamp stamp;
    float DIST = 0;  // cm
    int32_t Is = 0;  // the figure size the run was made with
    int32_t NVOL = 0;
    int32_t NTRUE = 0;
    int32_t NERR = 0;
    int32_t NNOANS = 0;
    float TAV = 0;  // s; NaN when nothing was answered
    int32_t NPUP = 0;
};

// One line of the log that is a record of either kind.
using LogRecord = std::variant<SightCheckRecord, TrainingRecord>;

inline const TimeStamp& stamp_of(const LogRecord& record) {
    return std::visit([](const auto& kind) -> const TimeStamp& { return kind.stamp; }, record);
}

}  // namespace results
