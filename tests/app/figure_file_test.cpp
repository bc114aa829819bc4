#include "app/figure_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/start_screen.h"
#include "exercises/random.h"
#include "program_fixture.h"
#include "state/shared_state.h"
#include "textio/io_error.h"

namespace {

using testing_support::WorkingFolder;
using Section = std::vector<std::string>;

const std::string k_end_of_file =
    "forrtl: severe (24): end-of-file during read, unit 14, file pelidor.sym";
const std::string k_conversion =
    "forrtl: severe (64): input conversion error, unit 14, file pelidor.sym";

// A header record: a label in columns 1-16, the count right-justified in columns 17-24.
std::string header(int count, std::string label = "figure") {
    label.resize(16, ' ');
    char field[16];
    std::snprintf(field, sizeof field, "%8d", count);
    return label + field;
}

// A point record of four-column integers.
std::string record(const std::vector<int>& values) {
    std::string line;
    for (const int value : values) {
        char field[16];
        std::snprintf(field, sizeof field, "%4d", value);
        line += field;
    }
    return line;
}

// Row and column offsets of point J in the sections built by numbered_section; they fit the
// four-column fields for any J.
int numbered_row(int J) {
    return J % 9000;
}
int numbered_column(int J) {
    return -(J % 900);
}

// A section of `count` points numbered as above, ten points to a record.
Section numbered_section(int count) {
    Section section{header(count)};
    std::vector<int> values;
    for (int J = 1; J <= count; ++J) {
        values.push_back(numbered_row(J));
        values.push_back(numbered_column(J));
        if (values.size() == 20) section.push_back(record(std::exchange(values, {})));
    }
    if (!values.empty()) section.push_back(record(values));
    return section;
}

// The one point of figure I in a file where no case changed section I.
int plain_row(int I) {
    return 100 + I;
}
int plain_column(int I) {
    return 200 + I;
}

// A figure file of `sections` sections, section I being overrides[I] or else the one point
// (plain_row(I), plain_column(I)). Plain sections after a changed one show whether the changed
// one consumed exactly its own records.
std::string figure_file(const std::map<int, Section>& overrides, int sections = 9) {
    std::string text;
    for (int I = 1; I <= sections; ++I) {
        const auto changed = overrides.find(I);
        const Section section = changed != overrides.end()
                                    ? changed->second
                                    : Section{header(1), record({plain_row(I), plain_column(I)})};
        for (const std::string& line : section) text += line + "\r\n";
    }
    return text;
}

void expect_plain_figures(const state::FigureTables& figures, int first) {
    for (int I = first; I <= state::k_figures; ++I) {
        SCOPED_TRACE("figure " + std::to_string(I));
        EXPECT_EQ(figures.count(I), 1);
        EXPECT_EQ(figures.row(1, I), plain_row(I));
        EXPECT_EQ(figures.column(1, I), plain_column(I));
    }
}

// Loads `contents` as the figure file of a fresh folder into `figures`; the report line of the
// I/O error, or "" when it loaded.
std::string load(const std::string& contents, state::FigureTables& figures) {
    WorkingFolder folder;
    folder.write("pelidor.sym", contents);
    try {
        app::load_figures(figures);
    } catch (const textio::IoError& error) {
        return error.message();
    }
    return "";
}

GTEST_TEST(FigureFileTest, EachSectionTakesExactlyTheRecordsItsCountNeeds) {
    struct Point {
        int J;
        int row;
        int column;
    };
    struct Case {
        const char* what;
        Section section;
        int count;
        std::vector<Point> points;
    };
    const std::string full_record =
        record({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    const Case cases[] = {
        {"count 15: a full record, then ten values with anything after column 40 ignored",
         {header(15), full_record, record({21, 22, 23, 24, 25, 26, 27, 28, 29, 30}) + "xx** 1.5"},
         15,
         {{1, 1, 2}, {2, 3, 4}, {10, 19, 20}, {11, 21, 22}, {15, 29, 30}}},
        {"count 10: exactly one record, the next record is the next header",
         {header(10), full_record},
         10,
         {{1, 1, 2}, {10, 19, 20}}},
        {"count 0: one record follows the header and is ignored",
         {header(0), "ignored record  letters"},
         0,
         {}},
        {"negative count: one record consumed, nothing stored",
         {header(-3), "ignored record  letters"},
         -3,
         {}},
        {"short record: the missing fields read 0",
         {header(4), record({5, 7, 9})},
         4,
         {{1, 5, 7}, {2, 9, 0}, {3, 0, 0}, {4, 0, 0}}},
        {"empty record: every field reads 0", {header(2), ""}, 2, {{1, 0, 0}, {2, 0, 0}}},
        {"digits and signs in columns 1-16 never reach the count",
         {std::string("-123456789012345") + "       2" + " 77", record({1, 2, 3, 4})},
         2,
         {{1, 1, 2}, {2, 3, 4}}},
        {"a count anywhere in its field, blanks inside it ignored",
         {std::string("text in columns ") + "  1   2 " + " trailing text", full_record,
          record({21, 22, 23, 24})},
         12,
         {{1, 1, 2}, {10, 19, 20}, {11, 21, 22}, {12, 23, 24}}},
        {"values anywhere in their fields, with signs, blanks inside ignored",
         {header(3), "  -7+12  1 2-9999999"},
         3,
         {{1, -7, 12}, {2, 12, -999}, {3, 9999, 0}}},
    };
    // The changed section stands first, in the middle and last.
    for (const int figure : {1, 5, 9}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", figure " + std::to_string(figure));
            state::FigureTables figures;
            ASSERT_EQ(load(figure_file({{figure, c.section}}), figures), "");
            EXPECT_EQ(figures.count(figure), c.count);
            for (const Point& point : c.points) {
                SCOPED_TRACE("point " + std::to_string(point.J));
                EXPECT_EQ(figures.row(point.J, figure), point.row);
                EXPECT_EQ(figures.column(point.J, figure), point.column);
            }
            for (int I = 1; I <= state::k_figures; ++I) {
                if (I == figure) continue;
                SCOPED_TRACE("plain figure " + std::to_string(I));
                EXPECT_EQ(figures.count(I), 1);
                EXPECT_EQ(figures.row(1, I), plain_row(I));
                EXPECT_EQ(figures.column(1, I), plain_column(I));
            }
        }
    }
}

GTEST_TEST(FigureFileTest, ACountAboveTheTableKeepsTheFirstPointsAndTheFollowingSections) {
    for (const int figure : {1, 9}) {
        SCOPED_TRACE("figure " + std::to_string(figure));
        state::FigureTables figures;
        ASSERT_EQ(load(figure_file({{figure, numbered_section(10025)}}), figures), "");
        // The count never promises more points than the table holds.
        EXPECT_EQ(figures.count(figure), state::k_max_points);
        for (const int J : {1, 2, 5000, 9999, 10000}) {
            SCOPED_TRACE("point " + std::to_string(J));
            EXPECT_EQ(figures.row(J, figure), numbered_row(J));
            EXPECT_EQ(figures.column(J, figure), numbered_column(J));
        }
        expect_plain_figures(figures, figure + 1);
    }
}

GTEST_TEST(FigureFileTest, MissingOrUnreadableDataEndsWithTheReport) {
    struct Case {
        const char* what;
        std::string contents;
        std::string report;
    };
    const Case cases[] = {
        {"empty file", "", k_end_of_file},
        {"only eight sections", figure_file({}, 8), k_end_of_file},
        {"last section one point record short", figure_file({{9, {header(25), record({1, 2})}}}),
         k_end_of_file},
        {"header without its point record at the end", figure_file({}, 8) + header(0) + "\r\n",
         k_end_of_file},
        {"letter in a point field", figure_file({{3, {header(2), "   1   2   x   4"}}}),
         k_conversion},
        {"decimal point in a point field", figure_file({{3, {header(2), "   1 1.5   3   4"}}}),
         k_conversion},
        {"asterisks in the count field", figure_file({{4, {std::string(16, ' ') + "********"}}}),
         k_conversion},
        {"second sign in the count field",
         figure_file({{1, {std::string(16, ' ') + "    -1-2", ""}}}), k_conversion},
        {"a count far beyond the records present",
         figure_file({{9, {header(99999999), record({1, 2})}}}), k_end_of_file},
        {"records after the ninth section are never read",
         figure_file({}) + "*** not a figure ***\r\n\r\nx", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state::FigureTables figures;
        EXPECT_EQ(load(c.contents, figures), c.report);
    }
}

GTEST_TEST(FigureFileTest, MissingFileIsReportedAndNotCreated) {
    WorkingFolder folder;
    state::FigureTables figures;
    try {
        app::load_figures(figures);
        ADD_FAILURE() << "a missing figure file loaded";
    } catch (const textio::IoError& error) {
        EXPECT_EQ(error.message(),
                  "forrtl: severe (29): file not found, unit 14, file pelidor.sym");
    }
    EXPECT_FALSE(folder.exists("pelidor.sym"));
}

// The shipped figures must fit the window at either placement: below the top 20 rows, above
// the bottom edge, and inside the half of the 980-pixel window that the placement chose.
GTEST_TEST(FigureFileTest, ShippedFiguresFitTheirHalfOfTheWindowAtBothPlacements) {
    const std::string shipped =
        (std::filesystem::path(PELIDOR_SOURCE_DIR) / "data" / "pelidor.sym").string();
    state::FigureTables figures;
    ASSERT_NO_THROW(app::load_figures(figures, shipped));

    for (int K = 1; K <= state::k_figures; ++K) {
        SCOPED_TRACE("figure " + std::to_string(K));
        EXPECT_GT(figures.count(K), 0);
        EXPECT_LE(figures.count(K), state::k_max_points);
        // The first RAN11 value places on the left, the third on the right.
        exercises::reset_generators();
        const int left_offset = app::figure_offset(K);
        exercises::reset_generators();
        exercises::RAN11();
        exercises::RAN11();
        const int right_offset = app::figure_offset(K);
        ASSERT_LE(left_offset, 20);
        ASSERT_GE(right_offset, 440);

        struct Placement {
            const char* side;
            int offset;
            int first_column;
            int last_column;
        };
        for (const Placement& placement :
             {Placement{"left", left_offset, 0, 489}, Placement{"right", right_offset, 490, 979}}) {
            SCOPED_TRACE(placement.side);
            for (int J = 1; J <= figures.count(K); ++J) {
                const int R = figures.row(J, K);
                const int C = figures.column(J, K);
                ASSERT_GE(R + 1, 20) << "point " << J;
                ASSERT_LE(R + 2 * K, 649) << "point " << J;
                ASSERT_GE(C + placement.offset + 1, placement.first_column) << "point " << J;
                ASSERT_LE(C + placement.offset + 2 * K, placement.last_column) << "point " << J;
            }
        }
    }
    exercises::reset_generators();
}

}  // namespace
