#include "exporter/results_table.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "results/date_time.h"
#include "results/log_layout.h"
#include "results/log_reader.h"
#include "textio/fields.h"
#include "textio/layout.h"
#include "textio/line_file.h"

namespace exporter {

namespace {

namespace layout = results::log_layout;

// The columns of a row, in order, and where the value of each comes from for either kind:
// null where that kind has no such field.
struct Column {
    const char* name;
    const textio::Field* sight_check;
    const textio::Field* training;
};

constexpr std::array<Column, 12> k_value_columns = {{
    {"distance_cm", &layout::distance, &layout::distance},
    {"diagonal_in", &layout::diagonal, nullptr},
    {"ny", &layout::ny, nullptr},
    {"nx", &layout::nx, nullptr},
    {"acuity", &layout::acuity, nullptr},
    {"figure_size", nullptr, &layout::size},
    {"presentations", nullptr, &layout::presented},
    {"right", nullptr, &layout::true_answers},
    {"wrong", nullptr, &layout::errors},
    {"unanswered", nullptr, &layout::not_answered},
    {"average_answer_s", nullptr, &layout::average_time},
    {"push_ups", nullptr, &layout::push_ups},
}};

std::string without_blanks(std::string_view text) {
    std::string kept;
    for (const char character : text) {
        if (character != ' ') kept += character;
    }
    return kept;
}

// The field's text without blanks when it reads as a number of its kind, else empty. What
// reads as a number holds no comma, quote or line end, so no value needs quoting.
std::string value_text(std::string_view line, const textio::Field& field) {
    const std::string text = textio::text_at(line, field);
    const bool is_real = field.descriptor.kind == textio::Descriptor::Kind::real;
    if (is_real) {
        const std::optional<float> value = textio::read_float(text, 0);
        if (!value || std::isnan(*value)) return {};
    } else if (!textio::read_int32(text)) {
        return {};
    }
    return without_blanks(text);
}

// Day 0 of NDAYS is 1 January 1900; the calendar is the Gregorian one on both sides of it.
struct CivilDate {
    int64_t year;
    int month, day;
};

CivilDate date_of_day(int64_t day_number) {
    // Counted from 1 March of year 0, so a leap day is the last day of its year, and in eras
    // of 400 years, which all have the same days.
    constexpr int64_t k_days_to_1900 = 693901;  // 1 March of year 0 to 1 January 1900
    const int64_t days = day_number + k_days_to_1900;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t day_of_era = days - era * 146097;
    const int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t month_from_march = (5 * day_of_year + 2) / 153;
    const auto day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
    const auto month =
        static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
    return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

}  // namespace

std::string csv_header() {
    std::string header = "date_time,kind";
    for (const Column& column : k_value_columns) header.append(",").append(column.name);
    return header;
}

std::string iso_date_time(const results::TimeStamp& stamp) {
    const auto moment = static_cast<int64_t>(results::stamp_seconds(stamp));
    const int64_t seconds_per_day = static_cast<int64_t>(results::k_seconds_per_day);
    int64_t day_number = moment / seconds_per_day;
    int64_t second_of_day = moment % seconds_per_day;
    if (second_of_day < 0) {
        second_of_day += seconds_per_day;
        --day_number;
    }
    const CivilDate date = date_of_day(day_number);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d",
                  static_cast<long long>(date.year), date.month, date.day,
                  static_cast<int>(second_of_day / 3600), static_cast<int>(second_of_day / 60 % 60),
                  static_cast<int>(second_of_day % 60));
    return text;
}

std::optional<std::string> csv_row(std::string_view log_line) {
    const std::optional<results::LogRecord> record = results::parse_log_line(log_line);
    if (!record) return std::nullopt;

    const bool sight_check = std::holds_alternative<results::SightCheckRecord>(*record);
    std::string row = iso_date_time(results::stamp_of(*record));
    row += sight_check ? ",sight check" : ",training";
    for (const Column& column : k_value_columns) {
        row += ',';
        const textio::Field* field = sight_check ? column.sight_check : column.training;
        if (field != nullptr) row += value_text(log_line, *field);
    }
    return row;
}

ReadResults read_results_table(const std::string& path) {
    textio::LineReader reader(path, results::k_log_line_length);
    if (!reader.is_open()) return {std::nullopt, reader.open_error()};

    ResultsTable table;
    table.rows.push_back(csv_header());
    reader.next_line();  // the header, which the graph does not read either
    while (const std::optional<std::string> line = reader.next_line()) {
        if (std::optional<std::string> row = csv_row(*line)) {
            table.rows.push_back(std::move(*row));
        } else if (line->find_first_not_of(' ') != std::string::npos) {
            ++table.skipped;
        }
    }
    if (reader.read_failed()) return {std::nullopt, textio::IoErrorKind::read_error};
    return {std::move(table), textio::IoErrorKind::open_failure};
}

}  // namespace exporter
