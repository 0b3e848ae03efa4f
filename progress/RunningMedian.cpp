#include "progress/RunningMedian.h"

#include <algorithm>

namespace orvane {

double RunningMedian::Add(std::int32_t value) {
  if (arrived_.size() == window_) {
    sorted_.erase(std::lower_bound(sorted_.begin(), sorted_.end(), arrived_.front()));
    arrived_.pop_front();
  }
  arrived_.push_back(value);
  sorted_.insert(std::upper_bound(sorted_.begin(), sorted_.end(), value), value);
  const std::size_t middle = sorted_.size() / 2;
  if (sorted_.size() % 2 == 1) {
    return sorted_[middle];
  }
  return (static_cast<double>(sorted_[middle - 1]) + sorted_[middle]) / 2.0;
}

}  // namespace orvane
