#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

namespace orvane::record {

// A reading of a monotonic clock, which no change of the system's clock moves.
using MonotonicClock = std::function<std::chrono::nanoseconds()>;

// Time since the run began on the monotonic clock: the system's steady clock unless another is
// given.
class RunClock {
 public:
  explicit RunClock(MonotonicClock clock = {}) : clock_(std::move(clock)), began_(Now()) {}

  std::chrono::nanoseconds Now() const {
    return clock_ ? clock_()
                  : std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch());
  }
  std::int64_t Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Now() - began_).count();
  }

 private:
  MonotonicClock clock_;
  std::chrono::nanoseconds began_;
};

}  // namespace orvane::record
