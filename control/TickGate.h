#pragma once

#include <chrono>
#include <cstdint>

#include "control/MonotonicClock.h"

namespace orvane {

// Which expiries of a periodic timer count as ticks. An expiry that comes less than half a period
// after the last tick is dropped: some systems' timers deliver the periods missed while the
// window's thread was held up back to back when it answers again, and a burst of ticks would
// count a whole puff delay within milliseconds. After a stall the next tick is simply the next
// one, and the tick that ends the stall tells how many ticks it cost.
class TickGate {
 public:
  using Milliseconds = std::chrono::milliseconds;

  struct Verdict {
    bool tick = false;
    // Only on a tick that ends a stall: the time since the tick before it, and the ticks that
    // should have come meanwhile.
    Milliseconds gap{0};
    std::int64_t ticks_dropped = 0;
  };

  explicit TickGate(Milliseconds period) : period_(period) {}

  // A fresh period starts now, as when a timer is enabled.
  void Restart(MonotonicClock::TimePoint now) { last_tick_ = now; }
  Verdict Expired(MonotonicClock::TimePoint now);

 private:
  Milliseconds period_;
  MonotonicClock::TimePoint last_tick_{};
};

}  // namespace orvane
