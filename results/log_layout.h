#pragma once

#include <array>
#include <cstddef>

#include "textio/layout.h"

// The columns of the results log's two records, which the writer and the reader both take from
// here. Each record begins with the date, the time and the distance; columns 48-49 tell the
// kind: "DD" for a sight check, "Is" for a training run.
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

constexpr Field text(int column, std::string_view literal) {
    return {column, Descriptor::literal(literal), {}};
}

// The date, the time and the distance that every record begins with.
constexpr std::array k_record_start = {
    text(1, " "),        day,      text(4, "."),     month,  text(7, "."),     year,
    text(12, ".,  "),    hour,     text(18, "hour"), minute, text(24, "min "), second,
    text(30, "sec, D="), distance, text(44, "cm  "),
};

// Values in the order day, month, year, hour, minute, second, D, DD, ny, nx, AOV.
constexpr auto k_sight_check_record = textio::joined(
    k_record_start, std::array{sight_check_mark, text(50, "="), diagonal, text(55, "  ny="), ny,
                               text(64, " nx="), nx, text(72, " AOV="), acuity});

// Values in the order day, month, year, hour, minute, second, D, Is, Np, Nt, Ner, Nna, t_av,
// Npup.
constexpr auto k_training_record = textio::joined(
    k_record_start,
    std::array{training_mark, text(50, "="), size, text(55, "  Np="), presented, text(64, " Nt="),
               true_answers, text(72, " Ner="), errors, text(81, " Nna="), not_answered,
               text(90, " t_av="), average_time, text(104, "s  Npup="), push_ups});

static_assert(textio::columns_follow(k_sight_check_record));
static_assert(textio::columns_follow(k_training_record));

constexpr std::size_t k_sight_check_length = textio::line_length(k_sight_check_record);
constexpr std::size_t k_training_length = textio::line_length(k_training_record);
static_assert(k_sight_check_length == 80 && k_training_length == 115);

}  // namespace results::log_layout
