#include "ui/FixedPointText.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace orvane {

namespace {
constexpr int kMaxPrecision = 15;
}

std::string FixedPointText(double value, const FixedPointFormat& format) {
  const int precision = std::clamp(format.precision, 0, kMaxPrecision);
  // Adding zero turns -0.0 into 0.0: only values below zero carry a minus sign.
  const double shown = value + 0.0;
  // The largest double has 309 integer digits; sign, point and 15 decimals fit as well.
  std::array<char, 400> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), shown,
                                          std::chars_format::fixed, precision);
  std::string text = error == std::errc{} ? std::string(buffer.data(), end) : std::string();

  const char from = format.comma ? '.' : ',';
  const char to = format.comma ? ',' : '.';
  std::replace(text.begin(), text.end(), from, to);

  if (format.forcePlusSign && value > 0) {
    text.insert(text.begin(), '+');
  }
  return text;
}

}  // namespace orvane
