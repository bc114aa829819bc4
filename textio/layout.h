#pragma once

#include <span>
#include <string>
#include <string_view>

// A fixed-column line described once, as a table of its fields, so that the line is written and
// read from the same columns.
namespace textio {

// How one field is written: Iw.m, Fw.d, or a literal text.
struct Descriptor {
    enum class Kind { integer, real, literal };
    Kind kind = Kind::literal;
    int width = 0;
    int digits = 0;  // Iw.m: the least digits written; Fw.d: the decimals
    std::string_view text;

    static constexpr Descriptor I(int width, int min_digits = 0) {
        return {Kind::integer, width, min_digits, {}};
    }
    static constexpr Descriptor F(int width, int decimals) {
        return {Kind::real, width, decimals, {}};
    }
    static constexpr Descriptor literal(std::string_view text) {
        return {Kind::literal, static_cast<int>(text.size()), 0, text};
    }
};

// One field of a line: the 1-based column it starts at, its descriptor and what it holds.
struct Field {
    int column = 1;
    Descriptor descriptor;
    std::string_view name;

    constexpr int width() const { return descriptor.width; }
    // The column after the field's last.
    constexpr int end() const { return column + descriptor.width; }
    constexpr bool holds_value() const { return descriptor.kind != Descriptor::Kind::literal; }
};

// True when the fields follow one another without a gap or an overlap from column 1, so the
// columns a reader takes them from are where the writer puts them.
constexpr bool columns_follow(std::span<const Field> fields) {
    int column = 1;
    for (const Field& field : fields) {
        if (field.column != column) return false;
        column = field.end();
    }
    return true;
}

// The text of the field in the line; a line too short for it is taken as padded with blanks.
std::string text_at(std::string_view line, const Field& field);

}  // namespace textio
