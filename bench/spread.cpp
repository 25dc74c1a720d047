#include "spread.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iomanip>
#include <iostream>

namespace bench {

namespace {

constexpr int label_width = 28;
constexpr int value_width = 10;

}  // namespace

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Percentile(const std::vector<double>& sorted, double percent) {
  const auto rank =
      static_cast<std::size_t>(std::ceil(percent / 100 * static_cast<double>(sorted.size())));
  return sorted[std::max<std::size_t>(rank, 1) - 1];
}

void Print_spread_heading(std::string_view label) {
  std::cout << std::left << std::setw(label_width) << label << std::right << std::setw(value_width)
            << "median" << std::setw(value_width) << "p90" << std::setw(value_width) << "p99"
            << std::setw(value_width) << "slowest" << '\n';
}

void Print_spread(std::string_view label, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::cout << std::left << std::setw(label_width) << label << std::right << std::setw(value_width)
            << Median(values) << std::setw(value_width) << Percentile(values, 90)
            << std::setw(value_width) << Percentile(values, 99) << std::setw(value_width)
            << values.back() << '\n';
}

}  // namespace bench
