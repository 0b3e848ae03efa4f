#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "log/LocalClock.h"

// Fields of the run's tab-separated files, written the same whatever the user's locale: the
// decimal point is always a point.
namespace orvane::record {

// A text as one field: tabs, CRs and LFs become spaces, so that it cannot split its line, and bytes
// that are not UTF-8 become U+FFFD, so that the file stays UTF-8.
void AppendText(std::string& line, std::string_view text);
// A name (a file, a folder) or a message as one field, written so that it can be had back byte for
// byte: as it stands, but each byte that is not part of a well-formed UTF-8 character, each tab,
// CR and LF, each character in `also` and each backslash that would read as such an escape are
// written as \xHH, two upper-case hex digits. Undoing every \xHH gives the original bytes.
void AppendName(std::string& line, std::string_view name, std::string_view also = {});
void AppendInteger(std::string& line, std::int64_t value);
// A number with this many decimals: 2.0 with 1 gives "2.0", 0.1 with 3 gives "0.100".
void AppendDecimal(std::string& line, double value, int decimals);
// Milliseconds as seconds with three decimals: 12345 gives "12.345".
void AppendSeconds(std::string& line, std::int64_t milliseconds);
// ISO 8601 with milliseconds and the UTC offset: "2024-03-21T14:05:09.250+01:00".
void AppendLocalTime(std::string& line, const LocalDateTime& when);

}  // namespace orvane::record
