#pragma once

#include <vector>

namespace bench {

// The spread of a set of timing errors, in the unit they were given in.
struct ErrorSpread {
    int count = 0;
    double median_abs = 0;  // median of the absolute errors
    double worst_abs = 0;   // largest absolute error
    double mean = 0;        // signed mean: a steady bias shows here
};

ErrorSpread spread_of(const std::vector<double>& errors);

// The median of the values; 0 for none.
double median_of(std::vector<double> values);

}  // namespace bench
