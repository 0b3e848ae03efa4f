#pragma once

#include <chrono>
#include <cstdint>

#include "control/MonotonicClock.h"

namespace orvane::record {

// Time since the run began on a monotonic clock, which no change of the system's clock moves.
class RunClock {
 public:
  explicit RunClock(const MonotonicClock& clock) : clock_(clock), began_(clock.Now()) {}

  std::chrono::nanoseconds Now() const { return clock_.Now() - began_; }
  std::int64_t Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Now()).count();
  }

 private:
  const MonotonicClock& clock_;
  MonotonicClock::TimePoint began_;
};

}  // namespace orvane::record
