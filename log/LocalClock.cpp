#include "log/LocalClock.h"

#include <QDateTime>

namespace orvane {
namespace {

using std::chrono::days;
using std::chrono::milliseconds;
using LocalMilliseconds = std::chrono::sys_time<milliseconds>;

LocalDateTime FromMilliseconds(LocalMilliseconds time, int utc_offset_seconds) noexcept {
  const std::chrono::sys_days day = std::chrono::floor<days>(time);
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss<milliseconds> clock(time - day);
  return LocalDateTime{static_cast<int>(date.year()),
                       static_cast<int>(static_cast<unsigned>(date.month())),
                       static_cast<int>(static_cast<unsigned>(date.day())),
                       static_cast<int>(clock.hours().count()),
                       static_cast<int>(clock.minutes().count()),
                       static_cast<int>(clock.seconds().count()),
                       static_cast<int>(clock.subseconds().count()),
                       utc_offset_seconds};
}

}  // namespace

LocalDateTime MillisecondsEarlier(const LocalDateTime& when, std::int64_t earlier) {
  // The local time counted as if it were UTC: only the distance between the two matters.
  const std::chrono::sys_days day = std::chrono::year(when.year) /
                                    std::chrono::month(static_cast<unsigned>(when.month)) /
                                    std::chrono::day(static_cast<unsigned>(when.day));
  const LocalMilliseconds time = day + std::chrono::hours(when.hour) +
                                 std::chrono::minutes(when.minute) +
                                 std::chrono::seconds(when.second) + milliseconds(when.millisecond);
  return FromMilliseconds(time - milliseconds(earlier), when.utc_offset_seconds);
}

LocalDateTime LocalDateTimeAt(std::chrono::system_clock::time_point when,
                              int utc_offset_seconds) noexcept {
  return FromMilliseconds(
      std::chrono::floor<milliseconds>(when) + std::chrono::seconds(utc_offset_seconds),
      utc_offset_seconds);
}

LocalDateTime SystemLocalClock::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return LocalDateTime{date.year(),   date.month(),  date.day(),  time.hour(),
                       time.minute(), time.second(), time.msec(), now.offsetFromUtc()};
}

}  // namespace orvane
