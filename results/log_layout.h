#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

#include "results/log_record.h"
#include "textio/layout.h"

// The columns of the results log's two records, each bound to the member of the record that it
// holds, so that the writer and the reader are each one loop over the same table. Each record
// begins with the date, the time and the distance; columns 48-49 tell the kind: "DD" for a
// sight check, "Is" for a training run.
namespace results::log_layout {

using textio::Descriptor;
using textio::Field;

constexpr Field day{2, Descriptor::I(2, 2), "day"};
constexpr Field month{5, Descriptor::I(2, 2), "month"};
constexpr Field year{8, Descriptor::I(4), "year"};
constexpr Field hour{16, Descriptor::I(2), "hour"};
constexpr Field minute{22, Descriptor::I(2), "minute"};
constexpr Field second{28, Descriptor::I(2), "second"};
constexpr Field distance{37, Descriptor::F(7, 1), "D"};

constexpr Field sight_check_mark{48, Descriptor::literal("DD"), "kind"};
constexpr Field diagonal{51, Descriptor::F(4, 1), "DD"};
constexpr Field ny{60, Descriptor::I(4), "ny"};
constexpr Field nx{68, Descriptor::I(4), "nx"};
constexpr Field acuity{77, Descriptor::F(4, 2), "AOV"};

constexpr Field training_mark{48, Descriptor::literal("Is"), "kind"};
constexpr Field size{51, Descriptor::I(4), "Is"};
constexpr Field presented{60, Descriptor::I(4), "Np"};
constexpr Field true_answers{68, Descriptor::I(4), "Nt"};
constexpr Field errors{77, Descriptor::I(4), "Ner"};
constexpr Field not_answered{86, Descriptor::I(4), "Nna"};
// A run without any answer has no average: it is written as "NaN", right-justified.
constexpr Field average_time{96, Descriptor::F(8, 2), "t_av"};
constexpr Field push_ups{112, Descriptor::I(4), "Npup"};

// Whether the progress graph can draw a record in which the field does not read. The date, the
// time and every value the graph plots are needed; the others are only kept in the log.
enum class Use { plotted, kept };

// One field of a record's line and where its value lives in the record: a part of the date and
// time, an integer member or a real member; a literal text has none.
template <class Record>
struct BoundField {
    Field field;
    int32_t TimeStamp::*stamp_part = nullptr;
    int32_t Record::*integer = nullptr;
    float Record::*real = nullptr;
    Use use = Use::kept;
    // The text "NaN" in the field stands for a real that is not a number.
    bool nan_written = false;
};

template <class Record>
constexpr BoundField<Record> text(int column, std::string_view literal) {
    return {{column, Descriptor::literal(literal), {}}};
}

template <class Record>
constexpr BoundField<Record> stamp_field(const Field& field, int32_t TimeStamp::*part) {
    return {field, part, nullptr, nullptr, Use::plotted};
}

template <class Record>
constexpr BoundField<Record> integer_field(const Field& field, int32_t Record::*member, Use use) {
    return {field, nullptr, member, nullptr, use};
}

template <class Record>
constexpr BoundField<Record> real_field(const Field& field, float Record::*member, Use use,
                                        bool nan_written = false) {
    return {field, nullptr, nullptr, member, use, nan_written};
}

// The date, the time and the distance that every record begins with, then the fields of the
// record's kind.
template <class Record, std::size_t N>
constexpr auto record_table(const std::array<BoundField<Record>, N>& kind_fields) {
    using R = Record;
    const std::array<BoundField<R>, 15> start = {
        text<R>(1, " "),        stamp_field<R>(day, &TimeStamp::day),
        text<R>(4, "."),        stamp_field<R>(month, &TimeStamp::month),
        text<R>(7, "."),        stamp_field<R>(year, &TimeStamp::year),
        text<R>(12, ".,  "),    stamp_field<R>(hour, &TimeStamp::hour),
        text<R>(18, "hour"),    stamp_field<R>(minute, &TimeStamp::minute),
        text<R>(24, "min "),    stamp_field<R>(second, &TimeStamp::second),
        text<R>(30, "sec, D="), real_field<R>(distance, &R::DIST, Use::plotted),
        text<R>(44, "cm  "),
    };
    std::array<BoundField<R>, start.size() + N> table{};
    for (std::size_t i = 0; i < start.size(); ++i) table[i] = start[i];
    for (std::size_t i = 0; i < N; ++i) table[start.size() + i] = kind_fields[i];
    return table;
}

constexpr auto sight_check_table() {
    using S = SightCheckRecord;
    return record_table<S>(std::array{
        BoundField<S>{sight_check_mark},
        text<S>(50, "="),
        real_field<S>(diagonal, &S::DIAG, Use::kept),
        text<S>(55, "  ny="),
        integer_field<S>(ny, &S::NY, Use::kept),
        text<S>(64, " nx="),
        integer_field<S>(nx, &S::NX, Use::kept),
        text<S>(72, " AOV="),
        real_field<S>(acuity, &S::AOV, Use::plotted),
    });
}

constexpr auto training_table() {
    using T = TrainingRecord;
    return record_table<T>(std::array{
        BoundField<T>{training_mark},
        text<T>(50, "="),
        integer_field<T>(size, &T::Is, Use::plotted),
        text<T>(55, "  Np="),
        integer_field<T>(presented, &T::NVOL, Use::plotted),
        text<T>(64, " Nt="),
        integer_field<T>(true_answers, &T::NTRUE, Use::kept),
        text<T>(72, " Ner="),
        integer_field<T>(errors, &T::NERR, Use::kept),
        text<T>(81, " Nna="),
        integer_field<T>(not_answered, &T::NNOANS, Use::kept),
        text<T>(90, " t_av="),
        real_field<T>(average_time, &T::TAV, Use::plotted, true),
        text<T>(104, "s  Npup="),
        integer_field<T>(push_ups, &T::NPUP, Use::plotted),
    });
}

constexpr auto k_sight_check_record = sight_check_table();
constexpr auto k_training_record = training_table();

// The table of the record type.
template <class Record>
constexpr std::span<const BoundField<Record>> table_of() {
    if constexpr (std::is_same_v<Record, SightCheckRecord>) {
        return k_sight_check_record;
    } else {
        return k_training_record;
    }
}

// The fields of a table, without the members they are bound to.
template <class Record, std::size_t N>
constexpr std::array<Field, N> fields_of(const std::array<BoundField<Record>, N>& table) {
    std::array<Field, N> fields{};
    for (std::size_t i = 0; i < N; ++i) fields[i] = table[i].field;
    return fields;
}

// True when every field that holds a value is bound to exactly one member of its kind, and a
// literal to none.
template <class Record>
constexpr bool well_bound(std::span<const BoundField<Record>> table) {
    for (const BoundField<Record>& bound : table) {
        const int members =
            (bound.stamp_part != nullptr) + (bound.integer != nullptr) + (bound.real != nullptr);
        if (members != (bound.field.holds_value() ? 1 : 0)) return false;
        const bool integer = bound.field.descriptor.kind == Descriptor::Kind::integer;
        if (bound.real != nullptr && integer) return false;
        if (bound.real == nullptr && bound.field.holds_value() && !integer) return false;
    }
    return true;
}

// The fields follow one another from column 1, so the columns a reader takes them from are
// where the writer puts them.
static_assert(textio::columns_follow(fields_of(k_sight_check_record)));
static_assert(textio::columns_follow(fields_of(k_training_record)));
static_assert(well_bound(table_of<SightCheckRecord>()));
static_assert(well_bound(table_of<TrainingRecord>()));

// The length of the record's line.
template <class Record>
constexpr std::size_t line_length() {
    return static_cast<std::size_t>(table_of<Record>().back().field.end() - 1);
}

constexpr std::size_t k_sight_check_length = line_length<SightCheckRecord>();
constexpr std::size_t k_training_length = line_length<TrainingRecord>();
static_assert(k_sight_check_length == 80 && k_training_length == 115);

}  // namespace results::log_layout
