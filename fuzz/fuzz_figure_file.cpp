// The figure loader on arbitrary files. Bad input ends in the I/O error report (an IoError of
// the figure file's unit); anything else must leave every count inside the tables.
#include <cstdint>

#include "app/figure_file.h"
#include "fuzz_input.h"
#include "textio/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One set of tables for the whole run: they are large, and each load rewrites what it uses.
    static state::FigureTables figures;
    const std::string path = fuzz::write_input(app::k_figure_file, fuzz::as_text(data, size));
    try {
        app::load_figures(figures, path);
    } catch (const textio::IoError& error) {
        fuzz::require(error.unit() == app::k_figure_unit && error.file() == path,
                      "the report names another unit or file");
        fuzz::require(error.kind() == textio::IoErrorKind::end_of_file ||
                          error.kind() == textio::IoErrorKind::conversion,
                      "a readable file failed with neither end-of-file nor a conversion error");
        return 0;
    }
    // Whoever draws a figure walks its points up to the count.
    int64_t sum = 0;
    for (int figure = 1; figure <= state::k_figures; ++figure) {
        fuzz::require(figures.count(figure) <= state::k_max_points, "count beyond the table");
        for (int point = 1; point <= figures.count(figure); ++point) {
            sum += int64_t{figures.row(point, figure)} + figures.column(point, figure);
        }
    }
    // Kept, so the walk is not optimised away.
    static volatile int64_t checksum;
    checksum = sum;
    return 0;
}
