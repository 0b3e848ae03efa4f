#include "control/ExactProduct.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// Its use at every delay and odds position is checked through the controller and the choosers.
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
