#pragma once

#include <chrono>
#include <cstdint>

namespace orvane {

// A local calendar date and time of day, to the millisecond.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int utc_offset_seconds = 0;  // local time minus UTC
};

// The wall clock the log stamps its trials with.
class LocalClock {
 public:
  virtual ~LocalClock() = default;

  virtual LocalDateTime Now() const = 0;
};

// The same local time `milliseconds` earlier, on the same UTC offset.
LocalDateTime MillisecondsEarlier(const LocalDateTime& when, std::int64_t milliseconds);
// The local time at `when` on the given UTC offset. Pure arithmetic, no lock and no allocation, so
// that a crash handler may stamp its last lines with it.
LocalDateTime LocalDateTimeAt(std::chrono::system_clock::time_point when,
                              int utc_offset_seconds) noexcept;

class SystemLocalClock final : public LocalClock {
 public:
  LocalDateTime Now() const override;
};

}  // namespace orvane
