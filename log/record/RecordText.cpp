#include "log/record/RecordText.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "log/Utf8Text.h"

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

bool IsLineBreaker(char c) {
  return c == '\t' || c == '\r' || c == '\n';
}

// "\x" and two hex digits of either case: what a reader undoes.
bool StartsEscape(std::string_view text, std::size_t pos) {
  const auto hex = [&text](std::size_t at) {
    return at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at])) != 0;
  };
  return text[pos] == '\\' && pos + 1 < text.size() && text[pos + 1] == 'x' && hex(pos + 2) &&
         hex(pos + 3);
}

void AppendEscape(std::string& line, char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const auto value = static_cast<unsigned char>(byte);
  line += "\\x";
  line.push_back(kDigits[value >> 4]);
  line.push_back(kDigits[value & 0xF]);
}

}  // namespace

void AppendText(std::string& line, std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, pos);
    if (length == 0) {
      line += "\xEF\xBF\xBD";  // U+FFFD
      ++pos;
      continue;
    }
    const char c = text[pos];
    line.push_back(IsLineBreaker(c) ? ' ' : c);
    line.append(text, pos + 1, length - 1);
    pos += length;
  }
}

void AppendName(std::string& line, std::string_view name, std::string_view also) {
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t length = Utf8CharacterLength(name, pos);
    const char c = name[pos];
    if (length == 0 || IsLineBreaker(c) || also.find(c) != std::string_view::npos ||
        StartsEscape(name, pos)) {
      AppendEscape(line, c);
      ++pos;
    } else {
      line.append(name, pos, length);
      pos += length;
    }
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
