#include "app/figure_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "textio/fields.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

namespace app {

namespace {

constexpr int k_values_per_record = 20;
constexpr int k_value_width = 4;

class FigureReader {
  public:
    explicit FigureReader(const std::string& name) : name_(name), reader_(name) {
        // A missing file is reported as such; creating an empty one would only make every
        // later start fail too.
        if (!reader_.is_open()) textio::raise_io_error(reader_.open_error(), k_figure_unit, name_);
    }

    std::string record() {
        std::optional<std::string> line = reader_.next_line();
        if (!line) textio::raise_io_error(textio::IoErrorKind::end_of_file, k_figure_unit, name_);
        return std::move(*line);
    }

    int32_t integer(const std::string& line, int column, int width) {
        const std::optional<int32_t> value =
            textio::read_int32(textio::field_at(line, column, width));
        if (!value) textio::raise_io_error(textio::IoErrorKind::conversion, k_figure_unit, name_);
        return *value;
    }

  private:
    const std::string& name_;
    textio::LineReader reader_;
};

void load_section(FigureReader& reader, state::FigureTables& figures, int figure) {
    const std::string header = reader.record();
    const int32_t count = reader.integer(header, 17, 8);

    // A count above the table's size keeps the first points and reads past the rest, so the
    // sections after it still load. The stored count says how many points the table holds,
    // so whoever walks the points up to it stays inside the table.
    figures.count(figure) = std::min(count, state::k_max_points);
    const int64_t values = 2 * static_cast<int64_t>(std::max(count, 0));
    const int64_t stored_values = 2 * static_cast<int64_t>(std::min(count, state::k_max_points));
    const int64_t records =
        std::max<int64_t>(1, (values + k_values_per_record - 1) / k_values_per_record);
    int64_t value = 0;
    for (int64_t record = 0; record < records; ++record) {
        const std::string line = reader.record();
        for (int field = 0; field < k_values_per_record && value < stored_values; ++field) {
            const int32_t number = reader.integer(line, 1 + field * k_value_width, k_value_width);
            const int point = static_cast<int>(value / 2) + 1;
            const int k = static_cast<int>(value % 2) + 1;
            figures.ijnot(point, k, figure) = number;
            ++value;
        }
    }
}

}  // namespace

void load_figures(state::FigureTables& figures, const std::string& file_name) {
    FigureReader reader(file_name);
    for (int figure = 1; figure <= state::k_figures; ++figure)
        load_section(reader, figures, figure);
}

}  // namespace app
