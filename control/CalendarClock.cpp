#include "control/CalendarClock.h"

#include <chrono>

namespace orvane {

std::int64_t SystemCalendarClock::SecondsSinceEpoch() const {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

}  // namespace orvane
