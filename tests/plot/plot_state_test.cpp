#include "plot/plot_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

// Every 1-based index combination reaches its own cell, and together they cover the table.
void expect_one_cell_each(std::size_t table_size, const std::vector<std::size_t>& offsets) {
    ASSERT_EQ(offsets.size(), table_size);
    std::vector<int> hits(table_size, 0);
    for (const std::size_t offset : offsets) {
        ASSERT_LT(offset, table_size);
        ++hits[offset];
    }
    for (std::size_t cell = 0; cell < table_size; ++cell) EXPECT_EQ(hits[cell], 1) << cell;
}

GTEST_TEST(PlotState, AccessorsMapEveryIndexToItsOwnCell) {
    std::vector<std::size_t> offsets;
    for (int iw = 1; iw <= 100; ++iw) {
        for (int slot = 1; slot <= 4; ++slot) {
            offsets.push_back(
                static_cast<std::size_t>(&plot::gr1(iw, slot) - plot::tables().GR1.data()));
        }
    }
    expect_one_cell_each(plot::tables().GR1.size(), offsets);

    offsets.clear();
    for (int iw = 1; iw <= 100; ++iw) {
        for (int slot = 1; slot <= 12; ++slot) {
            for (int ir = 1; ir <= 20; ++ir) {
                offsets.push_back(
                    static_cast<std::size_t>(&plot::gr2(iw, slot, ir) - plot::tables().GR2.data()));
            }
        }
    }
    expect_one_cell_each(plot::tables().GR2.size(), offsets);

    offsets.clear();
    for (int component = 1; component <= 3; ++component) {
        for (int column = 1; column <= 106; ++column) {
            offsets.push_back(static_cast<std::size_t>(&plot::coldim(component, column) -
                                                       plot::tables().COLDIM.data()));
        }
    }
    expect_one_cell_each(plot::tables().COLDIM.size(), offsets);
}

GTEST_TEST(PlotState, FirstIndexVariesFastest) {
    EXPECT_EQ(&plot::gr1(2, 1) - &plot::gr1(1, 1), 1);
    EXPECT_EQ(&plot::gr2(2, 1, 1) - &plot::gr2(1, 1, 1), 1);
    EXPECT_EQ(&plot::coldim(2, 1) - &plot::coldim(1, 1), 1);
    EXPECT_EQ(plot::col0(1, 2), 1.0f);  // colour index 1: red 1.0, green 0.0, blue 0.5
    EXPECT_EQ(plot::col0(3, 2), 0.5f);
}

GTEST_TEST(PlotState, TheNamedViewsReferToTheirNumberedSlots) {
    // Slot numbers are what stored tables and other readers of GR1 and GR2 go by.
    using plot::PageView;
    using plot::RegionView;
    struct PageCase {
        const char* what;
        int slot;
        float& (*item)(const PageView&);
    };
    const PageCase page_cases[] = {
        {"page width", 1, [](const PageView& v) -> float& { return v.page_width; }},
        {"page height", 2, [](const PageView& v) -> float& { return v.page_height; }},
        {"window width", 3, [](const PageView& v) -> float& { return v.window_width; }},
        {"window height", 4, [](const PageView& v) -> float& { return v.window_height; }},
    };
    for (const PageCase& c : page_cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(&c.item(plot::page_view(7)), &plot::gr1(7, c.slot));
    }

    struct RegionCase {
        const char* what;
        int slot;
        float& (*item)(const RegionView&);
    };
    const RegionCase region_cases[] = {
        {"pixel left", 1, [](const RegionView& v) -> float& { return v.pixels.left; }},
        {"pixel bottom", 2, [](const RegionView& v) -> float& { return v.pixels.bottom; }},
        {"pixel width", 3, [](const RegionView& v) -> float& { return v.pixels.width; }},
        {"pixel height", 4, [](const RegionView& v) -> float& { return v.pixels.height; }},
        {"world xmin", 5, [](const RegionView& v) -> float& { return v.world.xmin; }},
        {"world ymin", 6, [](const RegionView& v) -> float& { return v.world.ymin; }},
        {"world xmax", 7, [](const RegionView& v) -> float& { return v.world.xmax; }},
        {"world ymax", 8, [](const RegionView& v) -> float& { return v.world.ymax; }},
        {"page left", 9, [](const RegionView& v) -> float& { return v.page.left; }},
        {"page bottom", 10, [](const RegionView& v) -> float& { return v.page.bottom; }},
        {"page right", 11, [](const RegionView& v) -> float& { return v.page.right; }},
        {"page top", 12, [](const RegionView& v) -> float& { return v.page.top; }},
    };
    for (const RegionCase& c : region_cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(&c.item(plot::region_view(7, 3)), &plot::gr2(7, c.slot, 3));
    }
    EXPECT_THROW(plot::region_view(7, 21), std::out_of_range);
    EXPECT_THROW(plot::page_view(0), std::out_of_range);
}

GTEST_TEST(PlotState, IndicesOutsideTheTablesAreRefused) {
    struct Case {
        const char* what;
        std::function<void()> access;
    };
    const Case cases[] = {
        {"unit 0", [] { plot::gr1(0, 1); }},
        {"unit 101", [] { plot::gr2(101, 1, 1); }},
        {"page slot 5", [] { plot::gr1(1, 5); }},
        {"region slot 13", [] { plot::gr2(1, 13, 1); }},
        {"region 0", [] { plot::gr2(1, 1, 0); }},
        {"region 21", [] { plot::gr2(1, 1, 21); }},
        {"colour column 107 (index 106)", [] { plot::coldim(1, 107); }},
        {"colour column 0 (index -1)", [] { plot::coldim(1, 0); }},
        {"component 4", [] { plot::coldim(4, 1); }},
        {"default colour 17", [] { plot::col0(1, 17); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(c.access(), std::out_of_range);
    }
}

GTEST_TEST(PlotState, AFreshRunStartsEveryTableAtZero) {
    plot::gr1(3, 3) = 980.0f;
    plot::gr2(3, 5, 7) = 1.5f;
    plot::coldim(2, 40) = 0.25f;
    plot::tables().ICOL = 9;
    plot::tables().page_calls = 4;
    plot::tables().page_font_size = -1;
    plot::tables().page_config_status = true;

    state::start_run();

    EXPECT_EQ(plot::gr1(3, 3), 0.0f);
    EXPECT_EQ(plot::gr2(3, 5, 7), 0.0f);
    EXPECT_EQ(plot::coldim(2, 40), 0.0f);
    EXPECT_EQ(plot::tables().ICOL, 0);
    EXPECT_EQ(plot::tables().page_calls, 0);
    EXPECT_EQ(plot::tables().page_font_size, 0);
    EXPECT_FALSE(plot::tables().page_config_status);
}

}  // namespace
