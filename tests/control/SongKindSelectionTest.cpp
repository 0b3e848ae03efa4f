#include "control/SongKindSelection.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "tests/control/ControllerFakes.h"
#include "tests/control/ExactScaling.h"

namespace orvane {
namespace {

using fakes::FakeLists;
using fakes::FakeSettings;
using fakes::FixedClock;

struct SelectionRig {
  FakeSettings settings;
  FakeLists lists;
  FixedClock clock;
  SongKindSelection selection{settings, lists, clock};

  SongKind Call() {
    return settings.selection_mode == 0 ? selection.ChooseRandomKind()
                                        : selection.ChooseSerialKind();
  }
  // The kinds of the next `trials` trials, calling the chooser as the controller would.
  std::vector<SongKind> Trials(int trials) {
    std::vector<SongKind> kinds;
    while (static_cast<int>(kinds.size()) < trials) {
      const SongKind kind = Call();
      if (kind != kNoTrial) {
        kinds.push_back(kind);
      }
    }
    return kinds;
  }
};

std::vector<SongKind> Repeat(SongKind kind, int times) {
  return std::vector<SongKind>(static_cast<std::size_t>(times), kind);
}

std::vector<SongKind> Concat(std::initializer_list<std::vector<SongKind>> parts) {
  std::vector<SongKind> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

TEST(SongKindSelection, FirstTrialOfTheRunComesOnTheHundredAndThirtySecondCall) {
  // Initial odds 0.1: the first eleven draws of the run fail and the twelfth succeeds, so this
  // also holds only when no call but every eleventh draws.
  SelectionRig rig;
  for (int call = 1; call < 132; ++call) {
    rig.lists.bad = rig.lists.good = colours::kRed;
    ASSERT_EQ(rig.selection.ChooseRandomKind(), kNoTrial) << "call " << call;
    ASSERT_EQ(rig.lists.bad, colours::kWhite) << "every call repaints both lists";
    ASSERT_EQ(rig.lists.good, colours::kWhite);
  }
  const SongKind kind = rig.selection.ChooseRandomKind();
  ASSERT_NE(kind, kNoTrial);
  EXPECT_EQ(rig.lists.bad, kind == kBadSong ? colours::kYellow : colours::kWhite);
  EXPECT_EQ(rig.lists.good, kind == kNeutralSong ? colours::kYellow : colours::kWhite);
}

// For each value below `bound`, a seed whose first draw below `bound` gives it, found from `first`.
std::vector<std::uint32_t> SeedsForEveryDraw(std::int32_t bound, std::uint32_t first) {
  std::map<std::int32_t, std::uint32_t> found;
  for (std::uint32_t seed = first; static_cast<std::int32_t>(found.size()) < bound; ++seed) {
    RandomGenerator generator;
    generator.Seed(seed);
    found.try_emplace(generator.RandomBelow(bound), seed);
  }
  std::vector<std::uint32_t> seeds;
  for (const auto& entry : found) {
    seeds.push_back(entry.second);
  }
  return seeds;
}

TEST(SongKindSelection, BothChoosersDrawBelowTheExactThousandfoldOddsAtEverySliderPosition) {
  const std::vector<std::uint32_t> seeds = SeedsForEveryDraw(1000, 1);
  for (const std::int32_t mode : {0, 1}) {
    SelectionRig rig;
    rig.settings.selection_mode = mode;
    std::map<int, std::int64_t> succeeding;
    for (int position = 1; position <= 300; ++position) {
      rig.settings.odds = position / 1000.0;
      for (const std::uint32_t seed : seeds) {
        rig.selection.generator().Seed(seed);
        for (int call = 0; call < 10; ++call) {
          rig.Call();  // the gate lets the eleventh call draw
        }
        succeeding[position] += rig.Call() != kNoTrial ? 1 : 0;
      }
      // r = 0 … 999 succeeds while r < 1000 × odds, strictly.
      const testing::Scaled product = testing::ScaleExactly(rig.settings.odds, 3);
      EXPECT_EQ(succeeding[position], product.whole + (product.fraction ? 1 : 0))
          << "mode " << mode << ", odds slider at " << position;
    }
    EXPECT_EQ(succeeding[100], 101) << "the initial 0.1";
    EXPECT_EQ(succeeding[1], 2);
    EXPECT_EQ(succeeding[150], 150);
    EXPECT_EQ(succeeding[300], 300);
  }
}

TEST(SongKindSelection, NeutralShareThresholdsDecideTheKindDrawnRightAfterTheReseed) {
  SelectionRig rig;
  rig.settings.odds = 1.0;  // a stand-in that lets every draw through
  // The kind draw k = RandomBelow(100) follows a reseed from the clock: a second for each k.
  const std::vector<std::uint32_t> seconds = SeedsForEveryDraw(100, 1'700'000'000);
  const std::array<int, 5> thresholds = {-1, 25, 50, 75, 101};  // "0%" … "100%"
  for (int item = 0; item < 5; ++item) {
    rig.settings.neutral_share_item = item;
    for (int k = 0; k < 100; ++k) {
      rig.clock.seconds = seconds[static_cast<std::size_t>(k)];
      const SongKind expected =
          k < thresholds[static_cast<std::size_t>(item)] ? kNeutralSong : kBadSong;
      EXPECT_EQ(rig.Trials(1), Repeat(expected, 1)) << "share item " << item << ", k " << k;
    }
  }
}

TEST(SongKindSelection, SerialBlocksOfTwoStartingWithTheNeutralSong) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.serial_block_length = 2;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(11), (std::vector<SongKind>{1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2}));
}

TEST(SongKindSelection, SerialBlocksOfTenStartingWithTheBadSong) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.serial_start_item = 1;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(32),
            Concat({Repeat(kBadSong, 10), Repeat(kNeutralSong, 11), Repeat(kBadSong, 11)}));
  EXPECT_EQ(rig.lists.bad, colours::kYellow);
}

TEST(SongKindSelection, LoweringTheBlockLengthSwitchesAtTheNextTrial) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(6), Repeat(kNeutralSong, 6));
  rig.settings.serial_block_length = 4;  // at or below the six counted
  EXPECT_EQ(rig.Trials(6), Concat({Repeat(kBadSong, 5), Repeat(kNeutralSong, 1)}));
}

TEST(SongKindSelection, ModeSwitchesKeepEachChoosersCounts) {
  SelectionRig rig;
  rig.settings.odds = 1.0;
  rig.settings.selection_mode = 1;
  EXPECT_EQ(rig.Trials(3), Repeat(kNeutralSong, 3));
  for (int call = 0; call < 4; ++call) {
    rig.Call();
  }
  EXPECT_EQ(rig.selection.state().serial_gate, 4);

  // Random mode advances only its own gate; the start kind stays as first taken.
  rig.settings.selection_mode = 0;
  rig.settings.serial_start_item = 1;
  rig.Trials(5);
  EXPECT_EQ(rig.selection.state().serial_gate, 4);
  EXPECT_EQ(rig.selection.state().serial_block, 3);

  rig.settings.selection_mode = 1;
  for (int call = 0; call < 6; ++call) {
    EXPECT_EQ(rig.Call(), kNoTrial);
  }
  EXPECT_EQ(rig.Call(), kNeutralSong) << "the gate opens after its remaining calls";
  EXPECT_EQ(rig.Trials(6), Concat({Repeat(kNeutralSong, 6)}));
  EXPECT_EQ(rig.Trials(1), Repeat(kBadSong, 1));
}

TEST(SongKindSelection, SerialModeNeverReseeds) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.odds = 300 / 1000.0;  // from program start, draws 6, 9 and 12 succeed
  RandomGenerator expected;          // the sequence from program start
  int trials = 0;
  for (int draw = 1; draw <= 12; ++draw) {
    for (int call = 0; call < 11; ++call) {
      trials += rig.Call() != kNoTrial ? 1 : 0;
    }
    expected.Next();
    EXPECT_EQ(rig.selection.generator().State(), expected.State()) << "draw " << draw;
  }
  EXPECT_EQ(trials, 3) << "the draws that succeeded went on to the kind";
}

}  // namespace
}  // namespace orvane
