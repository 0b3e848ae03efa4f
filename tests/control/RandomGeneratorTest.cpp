#include "control/RandomGenerator.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

TEST(RandomGenerator, StartsFromSeedOneAndYieldsItsKnownSequence) {
  RandomGenerator generator;
  EXPECT_EQ(generator.State(), 0x015A4E36u);
  EXPECT_EQ(generator.Next(), 1410184549);
  EXPECT_EQ(generator.Next(), 672584604);
  EXPECT_EQ(generator.Next(), 1915668986);
}

TEST(RandomGenerator, RandomBelowReducesTheOutputsModuloItsBound) {
  RandomGenerator generator;
  std::vector<int> draws;
  for (int i = 0; i < 12; ++i) {
    draws.push_back(generator.RandomBelow(1000));
  }
  EXPECT_EQ(draws, (std::vector<int>{549, 604, 986, 944, 712, 283, 556, 734, 286, 861, 761, 44}));

  const auto before = generator.State();
  EXPECT_EQ(generator.RandomBelow(0), 0);
  EXPECT_EQ(generator.State(), before) << "a zero bound draws nothing";
}

TEST(RandomGenerator, SeedingTouchesOnlyTheLowHalf) {
  RandomGenerator generator;
  generator.Next();
  generator.Seed(0xFFFFFFFFu);
  EXPECT_EQ(generator.State(), static_cast<std::uint32_t>(0xFFFFFFFFu * 22695477u + 1u));
  RandomGenerator fresh;
  fresh.Seed(1);
  EXPECT_EQ(fresh.State(), RandomGenerator().State());
}

}  // namespace
}  // namespace orvane
