#include "results/results_log.h"

#include <string>
#include <string_view>
#include <utility>

#include "results/date_time.h"
#include "state/shared_state.h"
#include "textio/fields.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

namespace results {

namespace {

constexpr size_t k_header_length = 115;

// The columns every record begins with: date, time and distance, 43 characters.
std::string common_part(const TimeStamp& stamp, float distance) {
    using textio::format_fixed;
    using textio::format_int;
    std::string line = " ";
    line += format_int(stamp.day, 2, 2) + "." + format_int(stamp.month, 2, 2) + ".";
    line += format_int(stamp.year, 4) + ".,  ";
    line += format_int(stamp.hour, 2) + "hour";
    line += format_int(stamp.minute, 2) + "min ";
    line += format_int(stamp.second, 2) + "sec, D=";
    line += format_fixed(distance, 7, 1);
    return line;
}

TimeStamp current_stamp(gfx::Canvas& ws) {
    TimeStamp stamp;
    DATETIMEWR(ws, stamp.day, stamp.month, stamp.year, stamp.hour, stamp.minute, stamp.second);
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
    std::string header(k_header_length, ' ');
    for (const auto& [column, word] : words) header.replace(column - 1, word.size(), word);
    return header;
}

std::string format_record(const SightCheckRecord& record) {
    using textio::format_fixed;
    using textio::format_int;
    std::string line = common_part(record.stamp, record.distance);
    line += "cm  DD=" + format_fixed(record.diagonal, 4, 1);
    line += "  ny=" + format_int(record.ny, 4);
    line += " nx=" + format_int(record.nx, 4);
    line += " AOV=" + format_fixed(record.acuity, 4, 2);
    return line;
}

std::string format_record(const TrainingRecord& record) {
    using textio::format_fixed;
    using textio::format_int;
    std::string line = common_part(record.stamp, record.distance);
    line += "cm  Is=" + format_int(record.size, 4);
    line += "  Np=" + format_int(record.presented, 4);
    line += " Nt=" + format_int(record.true_answers, 4);
    line += " Ner=" + format_int(record.errors, 4);
    line += " Nna=" + format_int(record.not_answered, 4);
    // A run without any answer has no average: it is written as "NaN", right-justified.
    line += " t_av=" + format_fixed(record.average_time, 8, 2);
    line += "s  Npup=" + format_int(record.push_ups, 4);
    return line;
}

void append_sight_check(gfx::Canvas& ws, float acuity) {
    SightCheckRecord record;
    record.stamp = current_stamp(ws);
    record.distance = state::run().parameters.DIST;
    record.diagonal = state::run().parameters.DIAG;
    record.ny = state::run().parameters.NY;
    record.nx = state::run().parameters.NX;
    record.acuity = acuity;
    append_line(format_record(record));
}

void append_training(gfx::Canvas& ws, const TrainingRecord& counts) {
    TrainingRecord record = counts;
    record.stamp = current_stamp(ws);
    record.distance = state::run().parameters.DIST;
    append_line(format_record(record));
}

}  // namespace results
