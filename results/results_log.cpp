#include "results/results_log.h"

#include <string>
#include <string_view>
#include <utility>

#include "results/date_time.h"
#include "results/log_layout.h"
#include "state/shared_state.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

namespace results {

namespace {

TimeStamp current_stamp(gfx::Canvas& canvas) {
    TimeStamp stamp;
    DATETIMEWR(canvas, stamp.day, stamp.month, stamp.year, stamp.hour, stamp.minute, stamp.second);
    return stamp;
}

void append_line(const std::string& line) {
    const textio::IoStatus status = textio::append_record(k_log_file, line, log_header());
    if (!status) textio::raise_io_error(status.error(), k_log_unit, k_log_file);
}

}  // namespace

std::string log_header() {
    // Each column word stands over the field it names in a training record.
    static constexpr std::pair<size_t, std::string_view> words[] = {
        {6, "Date"},        {23, "Time"},    {36, "Distance"}, {49, "MeasureNpresent"},
        {65, "Ntrue_ans"},  {75, "Nerrors"}, {83, "Nno_ans"},  {92, "Av.tim.ans"},
        {106, "Npush-ups"},
    };
    // As long as a training record.
    std::string header(log_layout::k_training_length, ' ');
    for (const auto& [column, word] : words) header.replace(column - 1, word.size(), word);
    return header;
}

std::string format_record(const SightCheckRecord& record) {
    const TimeStamp& t = record.stamp;
    return textio::write_line(log_layout::k_sight_check_record,
                              {t.day, t.month, t.year, t.hour, t.minute, t.second, record.distance,
                               record.diagonal, record.ny, record.nx, record.acuity});
}

std::string format_record(const TrainingRecord& record) {
    const TimeStamp& t = record.stamp;
    return textio::write_line(log_layout::k_training_record,
                              {t.day, t.month, t.year, t.hour, t.minute, t.second, record.distance,
                               record.size, record.presented, record.true_answers, record.errors,
                               record.not_answered, record.average_time, record.push_ups});
}

void append_sight_check(gfx::Canvas& canvas, float acuity) {
    SightCheckRecord record;
    record.stamp = current_stamp(canvas);
    record.distance = state::run().parameters.DIST;
    record.diagonal = state::run().parameters.DIAG;
    record.ny = state::run().parameters.NY;
    record.nx = state::run().parameters.NX;
    record.acuity = acuity;
    append_line(format_record(record));
}

void append_training(gfx::Canvas& canvas, const TrainingRecord& counts) {
    TrainingRecord record = counts;
    record.stamp = current_stamp(canvas);
    record.distance = state::run().parameters.DIST;
    append_line(format_record(record));
}

}  // namespace results
