#include "bench/timing_stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

double median_of(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

ErrorSpread spread_of(const std::vector<double>& errors) {
    ErrorSpread spread;
    spread.count = static_cast<int>(errors.size());
    if (errors.empty()) return spread;
    std::vector<double> absolute(errors.size());
    std::transform(errors.begin(), errors.end(), absolute.begin(),
                   [](double error) { return std::abs(error); });
    spread.worst_abs = *std::max_element(absolute.begin(), absolute.end());
    spread.median_abs = median_of(std::move(absolute));
    spread.mean = std::accumulate(errors.begin(), errors.end(), 0.0) / spread.count;
    return spread;
}

}  // namespace bench
