#include "control/ExactProduct.h"

#include <gtest/gtest.h>

#include <set>

namespace orvane {
namespace {

// The smallest tick count that passes 10 × delay < count, for the delay slider at `position`.
int DecisionCount(int position) {
  const double delay = position / 10.0;
  int count = 0;
  while (CompareExactProduct(10.0, delay, count) >= 0) {
    ++count;
  }
  return count;
}

// How many of the draws r = 0 … 999 succeed (r < 1000 × odds) for the odds slider at `position`.
int SucceedingDraws(int position) {
  const double odds = position / 1000.0;
  int succeeding = 0;
  for (int r = 0; r < 1000; ++r) {
    succeeding += CompareExactProduct(1000.0, odds, r) > 0 ? 1 : 0;
  }
  return succeeding;
}

TEST(ExactProduct, DecisionCountForEveryDelayPosition) {
  // Where position / 10.0 rounds below the exact tenth, ten times it falls below the position.
  const std::set<int> rounded_down = {3,  6,  7,  12, 14, 17, 19, 23, 24, 28,
                                      29, 33, 34, 38, 39, 41, 43, 46, 48};
  for (int position = 0; position <= 50; ++position) {
    const int expected = rounded_down.count(position) ? position : position + 1;
    EXPECT_EQ(DecisionCount(position), expected) << "slider position " << position;
  }
}

TEST(ExactProduct, OddsDrawsSucceedForThePositionOrOneMore) {
  EXPECT_EQ(SucceedingDraws(100), 101);
  EXPECT_EQ(SucceedingDraws(1), 2);
  EXPECT_EQ(SucceedingDraws(150), 150);
  EXPECT_EQ(SucceedingDraws(300), 300);
  for (int position = 1; position <= 300; ++position) {
    const int draws = SucceedingDraws(position);
    EXPECT_TRUE(draws == position || draws == position + 1) << "slider position " << position;
  }
}

TEST(ExactProduct, ComparesBeyondWhatTheRoundedProductShows) {
  // 0.1 is slightly above a tenth: 10 × 0.1 rounds to exactly 1 but lies above it.
  EXPECT_EQ(CompareExactProduct(10.0, 0.1, 1), 1);
  // 0.3 is slightly below three tenths.
  EXPECT_EQ(CompareExactProduct(10.0, 0.3, 3), -1);
  EXPECT_EQ(CompareExactProduct(10.0, 2.0, 20), 0);
  EXPECT_EQ(CompareExactProduct(10.0, 2.0, 21), -1);
  EXPECT_EQ(CompareExactProduct(10.0, 0.0, 0), 0);
}

}  // namespace
}  // namespace orvane
