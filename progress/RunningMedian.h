#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace orvane {

// The median of the last N values given, updated one value at a time without sorting them all
// again. Of an even count it is the mean of the two middle values.
class RunningMedian {
 public:
  explicit RunningMedian(std::size_t window) : window_(window) {}

  // Takes a value and returns the median of the window that now ends with it.
  double Add(std::int32_t value);

 private:
  std::size_t window_;
  std::deque<std::int32_t> arrived_;  // the window, oldest first
  std::vector<std::int32_t> sorted_;  // the same values in ascending order
};

}  // namespace orvane
