#pragma once

#include <cstdint>

namespace orvane {

// The calendar clock in whole seconds since 1970-01-01 00:00 UTC.
class CalendarClock {
 public:
  virtual ~CalendarClock() = default;

  virtual std::int64_t SecondsSinceEpoch() const = 0;
};

class SystemCalendarClock final : public CalendarClock {
 public:
  std::int64_t SecondsSinceEpoch() const override;
};

}  // namespace orvane
