#include "control/TickGate.h"

namespace orvane {

TickGate::Verdict TickGate::Expired(MonotonicClock::TimePoint now) {
  const auto elapsed = now - last_tick_;
  if (2 * elapsed < period_) {
    return {};
  }
  last_tick_ = now;
  const auto gap = std::chrono::duration_cast<Milliseconds>(elapsed);
  // Whole periods since the last tick, to the nearest, less the one this tick ends.
  const std::int64_t dropped = (2 * gap.count() + period_.count()) / (2 * period_.count()) - 1;
  if (dropped < 1) {
    return {true};
  }
  return {true, gap, dropped};
}

}  // namespace orvane
