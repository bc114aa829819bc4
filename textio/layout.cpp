#include "textio/layout.h"

#include "textio/fields.h"

namespace textio {

std::string text_at(std::string_view line, const Field& field) {
    return field_at(line, field.column, field.width());
}

}  // namespace textio
