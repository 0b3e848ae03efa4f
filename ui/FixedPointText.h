#pragma once

#include <string>

namespace orvane {

// How a display turns its number into fixed-point text.
struct FixedPointFormat {
  int precision = 2;   // digits after the decimal point, 0 to 15
  bool comma = false;  // decimal separator "," instead of "."
  bool forcePlusSign = false;
};

// The value with exactly `precision` decimals, no grouping and no padding. The separator comes
// from `format` alone, never from the user's regional settings.
std::string FixedPointText(double value, const FixedPointFormat& format);

}  // namespace orvane
