#include "plot/plot_state.h"

#include <stdexcept>
#include <string>

namespace plot {

namespace {

// Zero-based offset of a 1-based index; throws when it lies outside the table.
std::size_t offset(int index, int count, const char* what) {
    if (index < 1 || index > count) {
        throw std::out_of_range(std::string("plot: ") + what + " " + std::to_string(index) +
                                " outside 1.." + std::to_string(count));
    }
    return static_cast<std::size_t>(index - 1);
}

}  // namespace

float& gr1(int iw, int slot) {
    return tables().GR1[offset(iw, k_unit_count, "unit") +
                        k_unit_count * offset(slot, k_page_slots, "page slot")];
}

float& gr2(int iw, int slot, int ir) {
    return tables().GR2[offset(iw, k_unit_count, "unit") +
                        k_unit_count * (offset(slot, k_region_slots, "region slot") +
                                        k_region_slots * offset(ir, k_region_count, "region"))];
}

PageView page_view(int iw) {
    return PageView{gr1(iw, 1), gr1(iw, 2), gr1(iw, 3), gr1(iw, 4)};
}

RegionView region_view(int iw, int ir) {
    // The unit and the region are checked once; the twelve slots of their row lie a unit count
    // apart. The transforms take a view at every point drawn.
    float* const first = &gr2(iw, 1, ir);
    const auto slot = [first](int number) -> float& {
        return first[k_unit_count * static_cast<std::size_t>(number - 1)];
    };
    return RegionView{{slot(1), slot(2), slot(3), slot(4)},
                      {slot(5), slot(6), slot(7), slot(8)},
                      {slot(9), slot(10), slot(11), slot(12)}};
}

float col0(int component, int colour) {
    return COL0[offset(component, k_components, "colour component") +
                k_components * offset(colour, k_default_colours, "default colour")];
}

float& coldim(int component, int column) {
    return tables().COLDIM[offset(component, k_components, "colour component") +
                           k_components * offset(column, k_colour_columns, "colour column")];
}

}  // namespace plot
