#include "textio/layout.h"

#include "textio/fields.h"

namespace textio {

namespace {

std::string written(const Descriptor& descriptor, double number) {
    if (descriptor.kind == Descriptor::Kind::integer) {
        return format_int(static_cast<int64_t>(number), descriptor.width, descriptor.digits);
    }
    return format_fixed(number, descriptor.width, descriptor.digits);
}

}  // namespace

std::string write_line(std::span<const Field> fields, std::initializer_list<Value> values) {
    std::string line;
    const Value* value = values.begin();
    for (const Field& field : fields) {
        if (!field.holds_value()) {
            line += field.descriptor.text;
        } else if (value == values.end()) {
            line += std::string(static_cast<std::size_t>(field.width()), '*');
        } else {
            line += written(field.descriptor, (value++)->number());
        }
    }
    return line;
}

std::string text_at(std::string_view line, const Field& field) {
    return field_at(line, field.column, field.width());
}

}  // namespace textio
