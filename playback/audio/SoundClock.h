#pragma once

#include <chrono>

namespace orvane {

// The time by which the sound side judges how long a device has stood still: the system's steady
// clock in the program, one a test holds and moves in its tests.
class SoundClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~SoundClock() = default;
  virtual TimePoint Now() const = 0;
};

class SteadySoundClock final : public SoundClock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace orvane
