#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace orvane::bench {

// The value below which the given share of the values lies (nearest rank); 0 for none.
inline double Percentile(std::vector<double> values, double share) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

inline double Mean(const std::vector<double>& values) {
  if (values.empty()) {
    return 0;
  }
  double sum = 0;
  for (const double value : values) {
    sum += value;
  }
  return sum / static_cast<double>(values.size());
}

inline double Mebibytes(std::size_t bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace orvane::bench
