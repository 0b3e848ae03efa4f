#pragma once

#include <chrono>

namespace orvane {

// A monotonic clock, which no change of the system's clock moves: what tick sources measure their
// periods on and the sound side judges a standing device by. Tests hand in one they hold.
class MonotonicClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~MonotonicClock() = default;

  virtual TimePoint Now() const = 0;
};

class SteadyClock final : public MonotonicClock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace orvane
