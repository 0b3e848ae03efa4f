#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "log/LocalClock.h"

// Fields of the run's tab-separated files, written the same whatever the user's locale: the
// decimal point is always a point.
namespace orvane::record {

// A text as one field: tabs, CRs and LFs become spaces, so that it cannot split its line.
void AppendText(std::string& line, std::string_view text);
void AppendInteger(std::string& line, std::int64_t value);
// A number with this many decimals: 2.0 with 1 gives "2.0", 0.1 with 3 gives "0.100".
void AppendDecimal(std::string& line, double value, int decimals);
// Milliseconds as seconds with three decimals: 12345 gives "12.345".
void AppendSeconds(std::string& line, std::int64_t milliseconds);
// ISO 8601 with milliseconds and the UTC offset: "2024-03-21T14:05:09.250+01:00".
void AppendLocalTime(std::string& line, const LocalDateTime& when);

}  // namespace orvane::record
