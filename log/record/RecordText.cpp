#include "log/record/RecordText.h"

#include <charconv>
#include <cstdlib>

namespace orvane::record {
namespace {

void AppendPadded(std::string& line, int value, int width) {
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  for (auto length = end - digits; length < width; ++length) {
    line.push_back('0');
  }
  line.append(digits, end);
}

}  // namespace

void AppendText(std::string& line, std::string_view text) {
  for (const char c : text) {
    line.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
  }
}

void AppendInteger(std::string& line, std::int64_t value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, end);
}

void AppendDecimal(std::string& line, double value, int decimals) {
  char digits[64];
  const auto [end, error] =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
  line.append(digits, error == std::errc() ? end : digits);
}

void AppendSeconds(std::string& line, std::int64_t milliseconds) {
  if (milliseconds < 0) {
    line.push_back('-');
    milliseconds = -milliseconds;
  }
  AppendInteger(line, milliseconds / 1000);
  line.push_back('.');
  AppendPadded(line, static_cast<int>(milliseconds % 1000), 3);
}

void AppendLocalTime(std::string& line, const LocalDateTime& when) {
  AppendPadded(line, when.year, 4);
  line.push_back('-');
  AppendPadded(line, when.month, 2);
  line.push_back('-');
  AppendPadded(line, when.day, 2);
  line.push_back('T');
  AppendPadded(line, when.hour, 2);
  line.push_back(':');
  AppendPadded(line, when.minute, 2);
  line.push_back(':');
  AppendPadded(line, when.second, 2);
  line.push_back('.');
  AppendPadded(line, when.millisecond, 3);
  line.push_back(when.utc_offset_seconds < 0 ? '-' : '+');
  const int offset_minutes = std::abs(when.utc_offset_seconds) / 60;
  AppendPadded(line, offset_minutes / 60, 2);
  line.push_back(':');
  AppendPadded(line, offset_minutes % 60, 2);
}

}  // namespace orvane::record
