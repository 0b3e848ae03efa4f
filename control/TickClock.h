#pragma once

#include <chrono>

namespace orvane {

// The monotonic clock a tick source measures its periods on; tests hand in one of their own.
class TickClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~TickClock() = default;

  virtual TimePoint Now() const = 0;
};

class SteadyTickClock final : public TickClock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace orvane
