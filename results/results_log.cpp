#include "results/results_log.h"

#include <string>
#include <string_view>
#include <utility>

#include "results/date_time.h"
#include "results/log_layout.h"
#include "state/shared_state.h"
#include "textio/fields.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

namespace results {

namespace {

TimeStamp current_stamp(gfx::Canvas& canvas) {
    TimeStamp stamp;
    DATETIMEWR(canvas, stamp.day, stamp.month, stamp.year, stamp.hour, stamp.minute, stamp.second);
    return stamp;
}

// The record's line: each field of its table in turn, a value written by its descriptor (as
// asterisks when too wide for it), a literal as it stands.
template <class Record>
std::string record_line(const Record& record) {
    std::string line;
    line.reserve(log_layout::line_length<Record>());
    for (const log_layout::BoundField<Record>& bound : log_layout::table_of<Record>()) {
        const textio::Descriptor& descriptor = bound.field.descriptor;
        if (bound.stamp_part) {
            line += textio::format_int(record.stamp.*bound.stamp_part, descriptor.width,
                                       descriptor.digits);
        } else if (bound.integer) {
            line += textio::format_int(record.*bound.integer, descriptor.width, descriptor.digits);
        } else if (bound.real) {
            line += textio::format_fixed(record.*bound.real, descriptor.width, descriptor.digits);
        } else {
            line += descriptor.text;
        }
    }
    return line;
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
    return record_line(record);
}

std::string format_record(const TrainingRecord& record) {
    return record_line(record);
}

void append_sight_check(gfx::Canvas& canvas, float AOV) {
    const state::Parameters& parameters = state::run().parameters;
    SightCheckRecord record;
    record.stamp = current_stamp(canvas);
    record.DIST = parameters.DIST;
    record.DIAG = parameters.DIAG;
    record.NY = parameters.NY;
    record.NX = parameters.NX;
    record.AOV = AOV;
    append_line(format_record(record));
}

void append_training(gfx::Canvas& canvas, const TrainingRecord& run) {
    TrainingRecord record = run;
    record.stamp = current_stamp(canvas);
    record.DIST = state::run().parameters.DIST;
    append_line(format_record(record));
}

}  // namespace results
