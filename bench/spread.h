#ifndef SHELVORANQUIST_BENCH_SPREAD_H_
#define SHELVORANQUIST_BENCH_SPREAD_H_

// How a set of timings spreads: its median and nearest-rank percentiles, printed as one row.

#include <string_view>
#include <vector>

namespace bench {

// The median of `values`, which must not be empty.
double Median(std::vector<double> values);

// The nearest-rank percentile of `sorted`, which must be sorted and not empty.
double Percentile(const std::vector<double>& sorted, double percent);

// Writes `label` and the median, 90th and 99th percentile and largest of `values` (which must
// not be empty) as one row under the heading Print_spread_heading writes, in the stream's
// precision.
void Print_spread(std::string_view label, std::vector<double> values);
void Print_spread_heading(std::string_view label);

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_SPREAD_H_
