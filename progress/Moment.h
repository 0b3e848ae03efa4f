#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// A moment as a trial table states it: milliseconds since 1970-01-01 00:00 UTC, and the offset of
// the local time it was written in, so that it reads back as the lab's own clock showed it.
struct Moment {
  std::int64_t utc_ms = 0;
  std::int32_t offset_minutes = 0;

  friend bool operator==(const Moment&, const Moment&) = default;
};

// "2024-03-21T14:05:09.250+01:00" (also "Z" for UTC, and without the milliseconds); nothing when
// the text is not such a date and time.
std::optional<Moment> ParseLoggedAt(std::string_view text);

// `moment` moved by a number of seconds, to the millisecond.
Moment MomentAfter(const Moment& moment, double seconds);

// The local date and time to the minute, as the lab's clock showed it: "2024-03-21 14:05", or
// with its offset from UTC, "2024-03-21 14:05 +01:00".
std::string DateAndMinuteText(const Moment& moment, bool with_offset = false);

// The same with seconds, milliseconds and offset, as a trial table writes it.
std::string LoggedAtText(const Moment& moment);

}  // namespace orvane
