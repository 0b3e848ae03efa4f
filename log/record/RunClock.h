#pragma once

#include <chrono>
#include <cstdint>

namespace orvane::record {

// Time since the run began on the monotonic clock, which no change of the system's clock moves.
class RunClock {
 public:
  std::int64_t Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began_).count();
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point began_ = Clock::now();
};

}  // namespace orvane::record
