#include "log/view/LayoutRules.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using Kind = TitleHit::Kind;

TEST(TitleHit, SortsOnlyMoreThanFourPixelsFromBothEdgesAndGripsBordersWithinFour) {
  const std::vector<int> widths{234, 143, 129};
  auto hit = [&](int x) { return HitTitle(widths, x); };
  EXPECT_EQ(hit(4).kind, Kind::kNothing) << "the left edge of the first title is no border";
  EXPECT_EQ(hit(5).kind, Kind::kSort);
  EXPECT_EQ(hit(229).column, 1);
  EXPECT_EQ(hit(229).kind, Kind::kSort);
  EXPECT_EQ(hit(230).kind, Kind::kBorder);
  EXPECT_EQ(hit(238).kind, Kind::kBorder);
  EXPECT_EQ(hit(238).column, 1) << "the column left of the border";
  EXPECT_EQ(hit(239).kind, Kind::kSort);
  EXPECT_EQ(hit(239).column, 2);
  EXPECT_EQ(hit(510).kind, Kind::kBorder);
  EXPECT_EQ(hit(510).column, 3);
  EXPECT_EQ(hit(511).kind, Kind::kNothing);
}

TEST(TitleHit, NarrowColumnsGiveTheNearestBorder) {
  const std::vector<int> widths{6, 6};
  EXPECT_EQ(HitTitle(widths, 7).column, 1);
  EXPECT_EQ(HitTitle(widths, 10).column, 2);
  EXPECT_EQ(HitTitle(widths, 3).kind, Kind::kBorder);
}

TEST(LayoutRules, ElisionKeepsAShareOfTheCharactersAndFittingAddsTheMargins) {
  EXPECT_EQ(ElidedLength(20, 200, 100, 3), 7);
  EXPECT_EQ(ElidedLength(10, 80, 50, 3), 3);   // 3.25
  EXPECT_EQ(ElidedLength(10, 80, 54, 3), 4);   // 3.75
  EXPECT_EQ(ElidedLength(10, 100, 33, 4), 1);  // below one still keeps one
  EXPECT_EQ(FittedColumnWidth(50, 30, 13), 59);
  EXPECT_EQ(FittedColumnWidth(50, 40, 13), 62);
  EXPECT_EQ(FittedColumnWidth(0, 0, 0), 9);
}

}  // namespace
}  // namespace orvane
