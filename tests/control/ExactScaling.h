#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace orvane::testing {

// 10^decimals × value, exactly: its whole part and whether a fraction is left over.
struct Scaled {
  std::int64_t whole = 0;
  bool fraction = false;
};

// Read off the double's exact decimal expansion, so no product is rounded on any platform. Where
// long double has a 64-bit significand the product is exact there too, and must agree.
inline Scaled ScaleExactly(double value, int decimals) {
  // Every non-negative double from 0.001 up has an exact expansion of fewer than 80 decimals.
  char text[128];
  const char* end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 80).ptr;
  const std::string expansion(text, static_cast<std::size_t>(end - text));
  const std::size_t point = expansion.find('.');
  const std::string digits = expansion.substr(0, point) + expansion.substr(point + 1);
  const std::size_t whole_digits = point + static_cast<std::size_t>(decimals);
  const Scaled scaled{std::stoll(digits.substr(0, whole_digits)),
                      digits.find_first_not_of('0', whole_digits) != std::string::npos};

  if constexpr (std::numeric_limits<long double>::digits >= 64) {
    const long double product = value * std::pow(10.0L, decimals);
    const long double whole = std::floor(product);
    EXPECT_EQ(whole, static_cast<long double>(scaled.whole)) << value;
    EXPECT_EQ(product != whole, scaled.fraction) << value;
  }
  return scaled;
}

}  // namespace orvane::testing
