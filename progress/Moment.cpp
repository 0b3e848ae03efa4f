#include "progress/Moment.h"

#include <cmath>
#include <cstdio>

namespace orvane {

namespace {

constexpr std::int64_t kMsPerMinute = 60'000;
constexpr std::int64_t kMsPerDay = 86'400'000;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t month_index = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  const int month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

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

bool ValidDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) {
    return false;
  }
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

struct LocalParts {
  CivilDate date;
  int hour;
  int minute;
  int second;
  int millisecond;
};

LocalParts LocalPartsOf(const Moment& moment) {
  const std::int64_t local_ms = moment.utc_ms + moment.offset_minutes * kMsPerMinute;
  const std::int64_t days =
      local_ms >= 0 ? local_ms / kMsPerDay : (local_ms - kMsPerDay + 1) / kMsPerDay;
  const std::int64_t of_day = local_ms - days * kMsPerDay;
  return {CivilFromDays(days), static_cast<int>(of_day / 3'600'000),
          static_cast<int>(of_day / 60'000 % 60), static_cast<int>(of_day / 1000 % 60),
          static_cast<int>(of_day % 1000)};
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
  if (!millisecond || !ValidDate(*year, *month, *day) || *hour > 23 || *minute > 59 ||
      *second > 59) {
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
  const Moment local = MomentOf({*year, *month, *day, *hour, *minute, *second, *millisecond}, 0);
  return Moment{local.utc_ms - offset * kMsPerMinute, offset};
}

Moment MomentOf(const LocalDateTime& local, std::int32_t offset_minutes) {
  const std::int64_t local_ms = DaysFromCivil(local.year, local.month, local.day) * kMsPerDay +
                                local.hour * 3'600'000LL + local.minute * kMsPerMinute +
                                local.second * 1000LL + local.millisecond;
  return {local_ms - offset_minutes * kMsPerMinute, offset_minutes};
}

Moment MomentAfter(const Moment& moment, double seconds) {
  return {moment.utc_ms + std::llround(seconds * 1000.0), moment.offset_minutes};
}

std::string DateAndMinuteText(const Moment& moment) {
  // To the nearest second first: a start worked out as 09:29:59.999 began at 09:30.
  const std::int64_t second = (moment.utc_ms + (moment.utc_ms >= 0 ? 500 : -500)) / 1000;
  const LocalParts local = LocalPartsOf({second * 1000, moment.offset_minutes});
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d",
                static_cast<long long>(local.date.year), local.date.month, local.date.day,
                local.hour, local.minute);
  return text;
}

std::string LoggedAtText(const Moment& moment) {
  const LocalParts local = LocalPartsOf(moment);
  const int offset = moment.offset_minutes < 0 ? -moment.offset_minutes : moment.offset_minutes;
  char text[128];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d",
                static_cast<long long>(local.date.year), local.date.month, local.date.day,
                local.hour, local.minute, local.second, local.millisecond,
                moment.offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

}  // namespace orvane
