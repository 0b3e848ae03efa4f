#include "progress/Moment.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "log/record/RecordText.h"

namespace orvane {

namespace {

namespace chrono = std::chrono;

constexpr std::int64_t kMsPerMinute = 60'000;

// Reads exactly `digits` decimal digits at `at`, moving past them.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t digits) {
  if (at + digits > text.size()) {
    return std::nullopt;
  }
  int value = 0;
  for (std::size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (text[i] - '0');
  }
  at += digits;
  return value;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
  if (at < text.size() && text[at] == c) {
    ++at;
    return true;
  }
  return false;
}

// The date and time a moment shows on the clock of its offset.
LocalDateTime LocalOf(const Moment& moment) {
  const chrono::sys_time<chrono::milliseconds> local{
      chrono::milliseconds{moment.utc_ms + moment.offset_minutes * kMsPerMinute}};
  const chrono::sys_days day = chrono::floor<chrono::days>(local);
  const chrono::year_month_day date{day};
  const chrono::hh_mm_ss time{local - day};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()),
          static_cast<int>(time.seconds().count()),
          static_cast<int>(time.subseconds().count()),
          moment.offset_minutes * 60};
}

}  // namespace

std::optional<Moment> ParseLoggedAt(std::string_view text) {
  std::size_t at = 0;
  const auto year = Digits(text, at, 4);
  if (!year || !Expect(text, at, '-')) {
    return std::nullopt;
  }
  const auto month = Digits(text, at, 2);
  if (!month || !Expect(text, at, '-')) {
    return std::nullopt;
  }
  const auto day = Digits(text, at, 2);
  if (!day || !Expect(text, at, 'T')) {
    return std::nullopt;
  }
  const auto hour = Digits(text, at, 2);
  if (!hour || !Expect(text, at, ':')) {
    return std::nullopt;
  }
  const auto minute = Digits(text, at, 2);
  if (!minute || !Expect(text, at, ':')) {
    return std::nullopt;
  }
  const auto second = Digits(text, at, 2);
  if (!second) {
    return std::nullopt;
  }
  std::optional<int> millisecond = 0;
  if (Expect(text, at, '.')) {
    millisecond = Digits(text, at, 3);
  }
  const chrono::year_month_day date{chrono::year{*year},
                                    chrono::month{static_cast<unsigned>(*month)},
                                    chrono::day{static_cast<unsigned>(*day)}};
  if (!millisecond || !date.ok() || *hour > 23 || *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  int offset = 0;
  if (!Expect(text, at, 'Z')) {
    int sign = 0;
    if (Expect(text, at, '+')) {
      sign = 1;
    } else if (Expect(text, at, '-')) {
      sign = -1;
    } else {
      return std::nullopt;
    }
    const auto offset_hours = Digits(text, at, 2);
    if (!offset_hours || !Expect(text, at, ':')) {
      return std::nullopt;
    }
    const auto offset_minutes = Digits(text, at, 2);
    if (!offset_minutes || *offset_hours > 23 || *offset_minutes > 59) {
      return std::nullopt;
    }
    offset = sign * (*offset_hours * 60 + *offset_minutes);
  }
  if (at != text.size()) {
    return std::nullopt;
  }
  const chrono::sys_time<chrono::milliseconds> local =
      chrono::sys_days{date} + chrono::hours{*hour} + chrono::minutes{*minute} +
      chrono::seconds{*second} + chrono::milliseconds{*millisecond};
  return Moment{local.time_since_epoch().count() - offset * kMsPerMinute, offset};
}

Moment MomentAfter(const Moment& moment, double seconds) {
  return {moment.utc_ms + std::llround(seconds * 1000.0), moment.offset_minutes};
}

std::string DateAndMinuteText(const Moment& moment, bool with_offset) {
  // To the nearest second first: a start worked out as 09:29:59.999 began at 09:30.
  const std::int64_t second = (moment.utc_ms + (moment.utc_ms >= 0 ? 500 : -500)) / 1000;
  const LocalDateTime local = LocalOf({second * 1000, moment.offset_minutes});
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.year, local.month, local.day,
                local.hour, local.minute);
  if (!with_offset) {
    return text;
  }
  const int offset = moment.offset_minutes < 0 ? -moment.offset_minutes : moment.offset_minutes;
  char zone[32];
  std::snprintf(zone, sizeof zone, " %c%02d:%02d", moment.offset_minutes < 0 ? '-' : '+',
                offset / 60, offset % 60);
  return text + std::string(zone);
}

std::string LoggedAtText(const Moment& moment) {
  std::string text;
  record::AppendLocalTime(text, LocalOf(moment));
  return text;
}

}  // namespace orvane
