#include "ui/FixedPointText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace orvane {
namespace {

std::string Fixed(double value, int precision, bool comma = false, bool plus = false) {
  return FixedPointText(value, FixedPointFormat{precision, comma, plus});
}

TEST(FixedPointText, ShowsTheWindowsSettingsWithTheirPrecisions) {
  EXPECT_EQ(Fixed(0.1, 4), "0.1000");
  EXPECT_EQ(Fixed(1.0, 2), "1.00");
  EXPECT_EQ(Fixed(2.5, 1), "2.5");
  EXPECT_EQ(Fixed(2.0, 1), "2.0");
  EXPECT_EQ(Fixed(12, 0), "12") << "precision 0 has no decimal point";
  EXPECT_EQ(Fixed(0.3, 4), "0.3000");
  EXPECT_EQ(Fixed(7, 0), "7");
  EXPECT_EQ(Fixed(0.001, 4), "0.0010");
  EXPECT_EQ(Fixed(1234567.0, 0), "1234567") << "no thousands separators";
}

TEST(FixedPointText, RoundsToThePrecisionAndSignsOnlyValuesBelowZero) {
  EXPECT_EQ(Fixed(-2.5, 1), "-2.5");
  EXPECT_EQ(Fixed(-7, 0), "-7");
  EXPECT_EQ(Fixed(0.2999, 2), "0.30");
  EXPECT_EQ(Fixed(-0.0, 2), "0.00");
  EXPECT_EQ(Fixed(0.1, 15), "0.100000000000000");
  EXPECT_EQ(Fixed(1e20, 0), "100000000000000000000");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::max(), 15).size(), 309u + 1u + 15u);
}

TEST(FixedPointText, SeparatorAndPlusSignFollowTheFormatOnly) {
  EXPECT_EQ(Fixed(0.1, 4, /*comma=*/true), "0,1000");
  EXPECT_EQ(Fixed(3, 0, /*comma=*/true), "3");
  EXPECT_EQ(Fixed(2.5, 1, false, /*plus=*/true), "+2.5");
  EXPECT_EQ(Fixed(0, 1, false, /*plus=*/true), "0.0") << "zero is not positive";
  EXPECT_EQ(Fixed(-2.5, 1, false, /*plus=*/true), "-2.5");

  // A C runtime set to a decimal-comma locale must not leak into the text.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(Fixed(0.1, 4), "0.1000");
    std::setlocale(LC_NUMERIC, "C");
  }
}

}  // namespace
}  // namespace orvane
